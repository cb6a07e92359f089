// A shared library opened the first time a function needs it instead of at start-up. The
// libraries of sound and FTP pull in dozens of others; most runs use neither, and loading
// them all would take most of the program's start-up time.
//
// A library's functions are listed once with an X-macro and declared from their own headers,
// so every pointer keeps the function's exact type:
//   #define MY_FUNCTIONS(X) X(foo_open) X(foo_close)
//   struct FooApi { MY_FUNCTIONS(TRESSALY_LAZY_POINTER) };
//   const FooApi* Foo(QString& problem) { return LoadApi<FooApi>("libfoo.so.1", ...); }
#pragma once

#include <QString>
#include <initializer_list>

#define TRESSALY_LAZY_POINTER(function) decltype(&::function) function = nullptr;

class LazyLibrary {
 public:
  explicit LazyLibrary(const char* soname) : soname_(soname) {}
  LazyLibrary(const LazyLibrary&) = delete;
  LazyLibrary& operator=(const LazyLibrary&) = delete;

  // Opens the library once; false with `problem` set (in both languages) when it cannot be
  // loaded or lacks a function.
  bool Open(QString& problem);
  // Resolves each name into the pointer beside it; false (with `problem` set) when one is
  // missing.
  struct Binding {
    const char* name;
    void** pointer;
  };
  bool Bind(std::initializer_list<Binding> bindings, QString& problem);

 private:
  const char* soname_;
  void* handle_ = nullptr;
  bool tried_ = false;
  QString failure_;
};

#define TRESSALY_LAZY_BINDING(function) LazyLibrary::Binding{#function, reinterpret_cast<void**>(&api.function)},

// The functions of one library, bound together the first time they are needed. `Functions` is
// a struct of TRESSALY_LAZY_POINTER members; `bind` binds them (TRESSALY_LAZY_BINDING, with the
// struct named `api`) and may set the library up.
template <typename Functions>
class LazyFunctions {
 public:
  using Binder = bool (*)(LazyLibrary& library, Functions& api, QString& problem);
  LazyFunctions(const char* soname, Binder bind) : library_(soname), bind_(bind) {}

  // False with `problem` set when the library or one of its functions is missing.
  bool Load(QString& problem) {
    if (!bound_) bound_ = bind_(library_, functions_, problem);
    return bound_;
  }
  const Functions* operator->() const { return &functions_; }

 private:
  LazyLibrary library_;
  Binder bind_;
  Functions functions_;
  bool bound_ = false;
};

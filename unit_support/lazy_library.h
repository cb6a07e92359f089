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

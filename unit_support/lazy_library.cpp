#include "unit_support/lazy_library.h"

#include <dlfcn.h>

#include "engine/local_texts.h"

using namespace Qt::Literals::StringLiterals;

bool LazyLibrary::Open(QString& problem) {
  if (!tried_) {
    tried_ = true;
    handle_ = dlopen(soname_, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
      const QString reason = QString::fromLocal8Bit(dlerror());
      failure_ = Bilingual(u"The library %1 could not be loaded: %2"_s.arg(QLatin1StringView(soname_), reason),
                           u"Не удалось загрузить библиотеку %1: %2"_s.arg(QLatin1StringView(soname_), reason));
    }
  }
  problem = failure_;
  return handle_ != nullptr;
}

bool LazyLibrary::Bind(std::initializer_list<Binding> bindings, QString& problem) {
  if (!Open(problem)) return false;
  for (const Binding& b : bindings) {
    *b.pointer = dlsym(handle_, b.name);
    if (!*b.pointer) {
      failure_ = Bilingual(u"The library %1 lacks the function %2."_s.arg(QLatin1StringView(soname_), QLatin1StringView(b.name)),
                           u"В библиотеке %1 нет функции %2."_s.arg(QLatin1StringView(soname_), QLatin1StringView(b.name)));
      problem = failure_;
      dlclose(handle_);
      handle_ = nullptr;
      return false;
    }
  }
  return true;
}

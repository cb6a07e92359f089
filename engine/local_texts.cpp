#include "engine/local_texts.h"

#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

QString LocalText(LocalTextId id) {
  struct Entry {
    const char16_t* english;
    const char16_t* russian;
  };
  static constexpr Entry kTexts[] = {
      {u"Too many nested blocks: loops, conditions and function calls together can be nested "
       u"at most 100 deep.",
       u"Слишком много вложенных блоков: циклы, условия и вызовы функций вместе могут иметь не "
       u"более 100 уровней вложенности."},
      {u"Function \"%1\" is not available in this version yet.",
       u"Функция \"%1\" пока не поддерживается в этой версии."},
      {u"Function \"%1\" cannot run: the %2 module is not available in this version yet.",
       u"Функцию \"%1\" нельзя выполнить: модуль \"%2\" пока не поддерживается в этой версии."},
      {u"The value %1 is out of the range of the integer elements of array \"%2\".",
       u"Значение %1 выходит за пределы диапазона целых элементов массива \"%2\"."},
      {u"The expression is nested too deeply: calls and brackets can be nested at most 500 "
       u"deep in one line.",
       u"Слишком глубокая вложенность выражения: вызовы и скобки в одной строке могут иметь не "
       u"более 500 уровней вложенности."},
  };
  const Entry& e = kTexts[int(id)];
  return QString::fromUtf16(LanguageIndex() == 1 ? e.russian : e.english);
}

QString LocalText(LocalTextId id, const QStringList& args) {
  QString text = LocalText(id);
  for (const QString& a : args) text = text.arg(a);
  return text;
}

QString Bilingual(QStringView english, QStringView russian) {
  return (LanguageIndex() == 1 ? russian : english).toString();
}

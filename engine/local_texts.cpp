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
  };
  const Entry& e = kTexts[int(id)];
  return QString::fromUtf16(LanguageIndex() == 1 ? e.russian : e.english);
}

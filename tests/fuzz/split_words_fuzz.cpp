// Feeds arbitrary lines to the line reader: it must end every input in a message or a
// word list, never crash or hang.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/function_units.h"
#include "engine/line_text.h"
#include "engine/script_error.h"
#include "engine/word_reader.h"

namespace {

// Knows a few names so that call words and their bracket matching are exercised.
class FuzzUnit : public FunctionUnit {
 public:
  TWordKind WordKind() const override { return wkEmbeddedFunction; }
  int FindFunction(QStringView name) const override {
    for (QStringView known : {u"sin", u"pow", u"len"})
      if (name.compare(known, Qt::CaseInsensitive) == 0) return 0;
    return -1;
  }
  void Dispatch(const QString&, const TWordArray&, TWordStatus& result) override {
    result = EmptyWord;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzUnit unit;
  static bool registered = (RegisterFunctionUnit(&unit), true);
  (void)registered;

  // The first byte picks the decoding: UTF-8, or raw UTF-16 (which yields lone surrogates).
  if (size == 0) return 0;
  QString line;
  if (data[0] & 1)
    line = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  else
    line = QString(reinterpret_cast<const QChar*>(data + 1), qsizetype((size - 1) / 2));

  Engine().ErrorText.clear();
  const QString code = StripComment(line).trimmed();
  (void)LineIndentOf(line);
  TWordArray words;
  try {
    SplitWords(code, words);
  } catch (const ScriptException&) {
    // A constant with a bad value: the step turns it into its error text.
  }
  return 0;
}

#include "functions/described_unit.h"

#include <memory>
#include <vector>

#include "engine/local_texts.h"
#include "engine/messages.h"
#include "functions/general_frame.h"
#include "functions/js_functions.h"
#include "functions/script_host.h"
#include "engine/run_host.h"
#include "functions/validation.h"

using namespace Qt::Literals::StringLiterals;

DescribedUnit::DescribedUnit(TableId table, UnitDispatcher dispatcher, QString moduleEn, QString moduleRu)
    : table_(table), dispatcher_(dispatcher), moduleEn_(std::move(moduleEn)), moduleRu_(std::move(moduleRu)) {}

TWordKind DescribedUnit::WordKind() const { return Table(table_).kind; }

int DescribedUnit::FindFunction(QStringView name) const {
  const int found = FindFunctionDescription(Table(table_), name);
  return found < 0 ? -1 : MatchedSlot(found);
}

void DescribedUnit::Validate(QString& name, const TWordArray& args) {
  // JavaScript-mapped calls are not validated.
  if (table_ != TableId::JS) ValidateFunctionCall(WordKind(), name, args);
}

void DescribedUnit::Dispatch(const QString& name, const TWordArray& args, TWordStatus& result) {
  result = EmptyWord;
  if (dispatcher_) {
    dispatcher_(name, args, result);
    return;
  }
  const QString module = LanguageIndex() == 1 ? moduleRu_ : moduleEn_;
  RaiseScriptError(LocalText(LocalTextId::UnitNotAvailable, {name, module}));
}

void RegisterFunctionLibrary() {
  static std::vector<std::unique_ptr<DescribedUnit>> units;
  if (!units.empty()) return;
  units.push_back(std::make_unique<DescribedUnit>(TableId::General, CallGeneralFunction));
  units.push_back(std::make_unique<DescribedUnit>(TableId::JS, CallJavaScriptFunction));
  // Modules built in later versions answer with a clear error until then.
  struct Pending {
    TableId table;
    const char16_t* en;
    const char16_t* ru;
  };
  static constexpr Pending kPending[] = {
      {TableId::Graph, u"graphics", u"графика"},
      {TableId::Dialog, u"dialogs", u"диалоги"},
      {TableId::DB, u"database", u"базы данных"},
      {TableId::OS, u"system automation", u"управление системой"},
      {TableId::FTP, u"FTP and UDP", u"FTP и UDP"},
      {TableId::Arduino, u"Arduino", u"Arduino"},
  };
  for (const Pending& p : kPending)
    units.push_back(std::make_unique<DescribedUnit>(p.table, nullptr, QString::fromUtf16(p.en),
                                                    QString::fromUtf16(p.ru)));
  for (const auto& unit : units) RegisterFunctionUnit(unit.get());
  // A JavaScript evaluation that runs on is broken off by the Pause key.
  SetScriptInterruptCheck([] { return Host().PauseRequestedFromAnyThread(); });
}

#include "unit_support/described_unit.h"

#include <memory>
#include <vector>

#include "engine/local_texts.h"
#include "engine/messages.h"
#include "unit_support/validation.h"

using namespace Qt::Literals::StringLiterals;

DescribedUnit::DescribedUnit(TableId table, UnitDispatcher dispatcher, UnitHooks hooks)
    : table_(table), dispatcher_(dispatcher), hooks_(hooks) {}

DescribedUnit::DescribedUnit(TableId table, QString moduleEn, QString moduleRu)
    : table_(table), moduleEn_(std::move(moduleEn)), moduleRu_(std::move(moduleRu)) {}

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

NumericFunction DescribedUnit::NumericFunctionFor(QStringView name) const {
  if (!hooks_.numericFunction || !dispatcher_) return {};
  const DescriptionTable& table = Table(table_);
  const int found = FindFunctionDescription(table, name);
  return found < 0 ? NumericFunction{} : hooks_.numericFunction(MatchedEntry(table, found));
}

void DescribedUnit::AddConstants() {
  if (hooks_.addConstants) hooks_.addConstants();
}
void DescribedUnit::RunStarting() {
  if (hooks_.runStarting) hooks_.runStarting();
}
void DescribedUnit::ResetState() {
  if (hooks_.resetState) hooks_.resetState();
}
void DescribedUnit::ProgramEnding() {
  if (hooks_.programEnding) hooks_.programEnding();
}

// The general functions' unit: its dispatcher over the families' tables.
#include "functions/general_unit.h"

#include "automation/exec_command.h"
#include "functions/sound_player.h"
#include "unit_support/described_unit.h"

void CallGeneralFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::General,
                                  {StringFunctions(), MathFunctions(), DateTimeFunctions(), FileFunctions(),
                                   ArrayFunctions(), MatrixFunctions(), MiscFunctions(), CommandFunctions(),
                                   RegExpFunctions()});
  table.Call(name, args, result);
}

FunctionUnit& GeneralUnit() {
  static DescribedUnit unit(TableId::General, CallGeneralFunction,
                            {.resetState =
                                 [] {
                                   ResetRegExpSearch();
                                   ResetCommandState();
                                   sound_player::Close();
                                 },
                             .programEnding = [] { sound_player::Close(); },
                             .numericFunction = MathNumericFunction});
  return unit;
}

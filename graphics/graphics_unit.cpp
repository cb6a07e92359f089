#include "graphics/graphics_unit.h"

#include <QDir>

#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/program_folder.h"
#include "graphics/graphics_families.h"
#include "graphics/mouse_areas.h"
#include "unit_support/described_unit.h"
#include "unit_support/graphics_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The picture-transformation flags and the colours, as lines of the constants table; the
// colours are $00BBGGRR values (clBlack is $010101: pure black 0 is the tools' default).
constexpr const char16_t* kConstantLines[] = {
    u"ROT90  = 1",
    u"ROT180 = 2",
    u"ROT270 = 4",
    u"HSYMM  = 8",
    u"VSYMM  = 16",
    u"clBlack =      $010101",
    u"clGreen =      $008000",
    u"clLime =       $00FF00",
    u"clOlive =      $008080",
    u"clNavy =       $800000",
    u"clPurple =     $800080",
    u"clFuchsia =    $FF00FF",
    u"clPink    =    $CBC0FF",
    u"clViolet =     $EE82EE",
    u"clDarkViolet = $D30094",
    u"clTeal =       $808000",
    u"clLightGray =  $D3D3D3",
    u"clGray =       $808080",
    u"clSilver =     $C0C0C0",
    u"clMaroon =     $000080",
    u"clRed =        $2040FF",
    u"clOrange =     $30B0FF",
    u"clDarkOrange = $008CFF",
    u"clYellow =     $00FFFF",
    u"clYellowGreen =$32CD9A",
    u"clBlue =       $FF0000",
    u"clDarkBlue =   $8B0000",
    u"clLightBlue =  $FFD090",
    u"clAqua =       $FFFF00",
    u"clWhite =      $FFFFFF",
};

void AddGraphicsConstants() {
  for (const char16_t* line : kConstantLines) ConstantsTable().append(QString::fromUtf16(line));
  NamesChanged();
}

void CallGraphicsFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(
      TableId::Graph, {CoordinateSystemFunctions(), DrawingFunctions(), PolylineFunctions(), PictureFunctions(),
                        PictogramFunctions(), MouseAreaFunctions(), IndicatorFunctions()},
      ArgumentCountPolicy::UpToFirstEmptyText);
  table.Call(name, args, result);
}

// A run finds the sample pictures in an empty pictures folder (the first start).
void InstallSamplePictures() {
  const QString folder = ProgramFolder() + u"pictures"_s;
  if (QDir(folder).entryList(QDir::Files).isEmpty()) CopyMissingFiles(ShippedFilesFolder(u"pictures"_s), folder);
}

}  // namespace

FunctionUnit& GraphicsUnit() {
  static DescribedUnit unit(TableId::Graph, CallGraphicsFunction,
                            {.addConstants = AddGraphicsConstants, .runStarting = InstallSamplePictures});
  SetPanelResizedHandler(LayOutGraphicsDisplay);
  SetPointerHandlers({PointerMovedOverArea, PointerLeftArea, PointerReleasedOverArea});
  return unit;
}

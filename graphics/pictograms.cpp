#include "graphics/pictograms.h"

#include <QFileInfo>

#include "engine/engine_state.h"
#include "engine/json_fields.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "graphics/graphics_families.h"
#include "graphics/layer_painting.h"
#include "graphics/mouse_areas.h"
#include "unit_support/graphics_surface.h"

using namespace Qt::Literals::StringLiterals;

QImage TransformedPicture(const QImage& source, int flags) {
  const int w = source.width(), h = source.height();
  QImage turned = source;
  // With several rotation flags the last of ROT90, ROT180, ROT270 wins.
  const int rotation = (flags & kRot270) ? kRot270 : (flags & kRot180) ? kRot180 : (flags & kRot90) ? kRot90 : 0;
  if (rotation == kRot180) {
    turned = QImage(w, h, source.format());
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) turned.setPixel(i, j, source.pixel(w - 1 - i, h - 1 - j));
  } else if (rotation != 0) {
    turned = QImage(h, w, source.format());
    for (int j = 0; j < w; ++j)
      for (int i = 0; i < h; ++i)
        turned.setPixel(i, j, rotation == kRot90 ? source.pixel(j, h - 1 - i) : source.pixel(w - 1 - j, i));
  }
  if (flags & kHorizontalSymmetry) turned.mirror(false, true);
  if (flags & kVerticalSymmetry) turned.mirror(true, false);
  return turned;
}

bool LoadPictogram(const QString& fileName, int flags, QImage& picture) {
  const QString path = PicturePath(fileName);
  const QFileInfo file(path);
  if (!file.isFile()) {
    RaiseScriptError(MessageText(msg::kInvalidFileName, {path}));
    return false;
  }
  if (const QString extension = u"."_s + file.suffix().toLower(); extension != u".bmp"_s) {
    RaiseScriptError(MessageText(msg::kInvalidExtension, {extension}));
    return false;
  }
  const QImage loaded(path, "bmp");
  if (loaded.isNull()) {
    RaiseScriptError(MessageText(msg::kInvalidFileName, {path}));
    return false;
  }
  picture = TransformedPicture(loaded.convertToFormat(QImage::Format_RGB32), flags);
  return true;
}

namespace {

// The name of the variable an argument was (at most 25 characters), or "".
QString VariableNameOf(const TWordStatus& argument) {
  const auto& variables = Engine().Variables;
  if (argument.var_index < 1 || std::size_t(argument.var_index) > variables.size()) return {};
  return variables[std::size_t(argument.var_index - 1)].VarName.left(25);
}

// Pictograms(var Status, X, Y, Specifications[, transform]): the picture of the status'th entry
// of the specification's "statuses", lower-left corner at (X, Y) on layer 2.
void Pictograms(GeneralCall& call) {
  const QPoint corner = WorldToPixel(call.number(1), call.number(2));
  const QStringList statuses = JsonObjectList(call.text(3), u"statuses"_s);
  const qint64 status = call.integer(0);
  if (status < 1 || status > statuses.size())
    return call.fail(msg::kStatusOutOfRange, {static_cast<long long>(status), int(statuses.size())});
  const QString file = JsonFieldText(statuses[status - 1], u"picture"_s);
  if (file.isEmpty()) return;
  const int transform = call.count() == 5 ? int(call.integer(4)) : 0;
  QImage picture;
  if (!LoadPictogram(file, transform, picture)) return;
  if (LayerPainter painter(2); painter) painter->drawImage(corner - QPoint(0, picture.height()), picture);
  // The place is kept once as a mouse area naming the two variables, whose values a click reads.
  MouseArea area;
  area.left = corner.x();
  area.top = corner.y() - picture.height();
  area.right = corner.x() + picture.width();
  area.bottom = corner.y();
  area.varNameSpecification = VariableNameOf(call.arg(3));
  area.varNameStatus = VariableNameOf(call.arg(0));
  area.transform = transform;
  for (const MouseArea& known : MouseAreas())
    if (known.varNameSpecification == area.varNameSpecification && known.left == area.left &&
        known.top == area.top && known.right == area.right && known.bottom == area.bottom)
      return;
  MouseAreas().append(area);
}

constexpr UnitFunctionEntry kPictogramFunctions[] = {
    {u"Pictograms", Pictograms},
};

}  // namespace

std::span<const UnitFunctionEntry> PictogramFunctions() {
  return kPictogramFunctions;
}

void ChoosePictogramStatus(const MouseArea& area, QPoint displayPixel) {
  const QStringList statuses = JsonObjectList(GetVariableText(area.varNameSpecification), u"statuses"_s);
  QStringList names;
  for (const QString& status : statuses) names << JsonFieldText(status, u"status_name"_s);
  double current = 0;
  ParseValueNumber(GetVariableText(area.varNameStatus), current);
  const int chosen = Surface().PopUpMenu(names, int(current) - 1, displayPixel);
  if (chosen < 0) return;
  SetVariable(area.varNameStatus, QString::number(chosen + 1), wkFloat);
  Host().RefreshViews();
  const QString file = JsonFieldText(statuses[chosen], u"picture"_s);
  QImage picture;
  if (!ErrorPending() && !file.isEmpty() && LoadPictogram(file, area.transform, picture)) {
    if (LayerPainter painter(2); painter) painter->drawImage(QPoint(area.left, area.bottom - picture.height()), picture);
  }
  if (ErrorPending()) ErrorStop();  // shown at once
}

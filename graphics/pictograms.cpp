#include "graphics/pictograms.h"

#include <QFileInfo>

#include "engine/engine_state.h"
#include "engine/json_fields.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/program_folder.h"
#include "graphics/graphics_families.h"
#include "graphics/layer_painting.h"

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
  QString path = fileName;
  if (!path.contains(u'\\') && !path.contains(u'/')) path = ProgramFolder() + u"pictures/"_s + path;
  path.replace(u'\\', u'/');
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
}

constexpr UnitFunctionEntry kPictogramFunctions[] = {
    {u"Pictograms", Pictograms},
};

}  // namespace

std::span<const UnitFunctionEntry> PictogramFunctions() {
  return kPictogramFunctions;
}

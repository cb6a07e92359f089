// PictureImport: a .bmp, .jpg or .png file drawn unscaled onto a layer, its lower-left corner
// at a user point. Bare names come from the "pictures" folder of the program folder.
#include <QFileInfo>
#include <QImageReader>

#include "engine/message_numbers.h"
#include "engine/program_folder.h"
#include "functions/file_paths.h"
#include "graphics/graphics_families.h"
#include "graphics/layer_painting.h"

using namespace Qt::Literals::StringLiterals;

QString PicturePath(const QString& name) {
  if (!name.contains(u'\\') && !name.contains(u'/')) return ProgramFolder() + u"pictures/"_s + name;
  return ResolveDataFileName(name);
}

namespace {

// The Qt format of an accepted extension (".jpeg" is not one), or nullptr.
const char* PictureFormat(const QString& extension) {
  static constexpr struct {
    QStringView extension;
    const char* format;
  } kFormats[] = {{u".bmp", "bmp"}, {u".jpg", "jpg"}, {u".png", "png"}};
  for (const auto& f : kFormats)
    if (extension == f.extension) return f.format;
  return nullptr;
}

void PictureImport(GeneralCall& call) {
  const QString path = PicturePath(call.text(0));
  const QFileInfo file(path);
  if (!file.isFile()) return call.fail(msg::kInvalidFileName, {path});
  const QString suffix = file.suffix().toLower();
  const QString extension = suffix.isEmpty() ? QString() : u"."_s + suffix;
  const char* format = PictureFormat(extension);
  if (!format) return call.fail(msg::kInvalidExtension, {extension});
  QImageReader reader(path, format);
  const QImage picture = reader.read();
  if (picture.isNull()) return call.fail(msg::kInvalidFileName, {path});
  const bool pointGiven = call.count() >= 3;
  const QPoint corner = WorldToPixel(pointGiven ? call.number(1) : 1, pointGiven ? call.number(2) : 1);
  if (LayerPainter painter(LayerArgument(call, 3, 2)); painter)
    painter->drawImage(corner - QPoint(0, picture.height()), picture);
}

constexpr UnitFunctionEntry kPictureFunctions[] = {
    {u"PictureImport", PictureImport},
};

}  // namespace

std::span<const UnitFunctionEntry> PictureFunctions() {
  return kPictureFunctions;
}

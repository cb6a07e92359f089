#include "ide/window_settings.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using namespace settings_names;

namespace {

using L = SettingsLimits;

constexpr QStringView kStateNames[] = {u"wsNormal", u"wsMaximized", u"wsMinimized"};

QString StateName(WindowState state) {
  return kStateNames[static_cast<int>(state)].toString();
}

// Letter case as written; anything else is no state.
std::optional<WindowState> StateFromName(const QString& name) {
  for (int i = 0; i < 3; ++i)
    if (name == kStateNames[i]) return static_cast<WindowState>(i);
  return std::nullopt;
}

int Coordinate(int value) {
  return std::clamp(value, -L::kMaxCoordinate, L::kMaxCoordinate);
}
int WindowSide(int value) {
  return std::clamp(value, L::kMinWindowSide, L::kMaxCoordinate);
}
int LocalPanelWidth(int value) {
  return std::clamp(value, 0, L::kMaxCoordinate);
}
int BottomPanelHeight(int value) {
  return std::clamp(value, L::kMinBottomPanelHeight, L::kMaxCoordinate);
}
int FontSize(int value) {
  return std::clamp(value, L::kMinFontSize, L::kMaxFontSize);
}
int Charset(int value) {
  return std::clamp(value, 0, L::kMaxCharset);
}

// Absent when the key is missing or not an integer.
std::optional<int> OptionalInt(const IniFile& file, QStringView section, QStringView key) {
  bool ok = false;
  const int value = file.GetString(section, key).toInt(&ok, 10);
  return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

QRect TextWindowGeometry::Placement(QSize workArea) const {
  // The centring uses the default size, whatever the stored one.
  return QRect(Coordinate(left.value_or((workArea.width() - 800) / 2)),
               Coordinate(top.value_or((workArea.height() - 600) / 2)), WindowSide(width),
               WindowSide(height));
}

void TextWindowGeometry::Read(const IniFile& file) {
  left = OptionalInt(file, kFormMemo, kLeft);
  top = OptionalInt(file, kFormMemo, kTop);
  if (left) left = Coordinate(*left);
  if (top) top = Coordinate(*top);
  width = WindowSide(file.GetInt(kFormMemo, kWidth, 800));
  height = WindowSide(file.GetInt(kFormMemo, kHeight, 600));
}

void TextWindowGeometry::Write(IniFile& file) const {
  if (left) file.SetInt(kFormMemo, kLeft, Coordinate(*left));
  if (top) file.SetInt(kFormMemo, kTop, Coordinate(*top));
  file.SetInt(kFormMemo, kWidth, WindowSide(width));
  file.SetInt(kFormMemo, kHeight, WindowSide(height));
}

int WindowSettings::GridRowHeight() const {
  // size × 22 / 12 = size × 11 / 6, rounded half to even in integers.
  const int scaled = FontSize(fontSize) * 11;
  const int quotient = scaled / 6;
  const int remainder = scaled % 6;
  return quotient + ((remainder > 3 || (remainder == 3 && quotient % 2 == 1)) ? 1 : 0);
}

void WindowSettings::Read(const IniFile& file) {
  left = Coordinate(file.GetInt(kMainForm, kLeft, 0));
  top = Coordinate(file.GetInt(kMainForm, kTop, 0));
  width = WindowSide(file.GetInt(kMainForm, kWidth, 800));
  height = WindowSide(file.GetInt(kMainForm, kHeight, 600));
  localPanelWidth = LocalPanelWidth(file.GetInt(kMainForm, kLocalPanelWidth, 150));
  bottomPanelHeight = BottomPanelHeight(file.GetInt(kMainForm, kBottomPanelHeight, 220));
  if (const auto read = StateFromName(file.GetString(kMainForm, kState, u"wsNormal"_s)))
    state = *read;
  editorKind = file.GetString(kMainForm, kEditorKind, kInternalEditor.toString());
  externalEditorFile = file.GetString(kMainForm, kExternalEditorFile);

  if (const QString name = file.GetString(kEditFont, kFontName); !name.isEmpty()) fontName = name;
  fontSize = FontSize(file.GetInt(kEditFont, kFontSize, 10));
  fontCharset = Charset(file.GetInt(kEditFont, kFontCharset, 1));

  textWindow.Read(file);
}

void WindowSettings::Write(IniFile& file) const {
  if (state == WindowState::Normal) {
    file.SetInt(kMainForm, kLeft, Coordinate(left));
    file.SetInt(kMainForm, kTop, Coordinate(top));
    file.SetInt(kMainForm, kWidth, WindowSide(width));
    file.SetInt(kMainForm, kHeight, WindowSide(height));
    file.SetInt(kMainForm, kLocalPanelWidth, LocalPanelWidth(localPanelWidth));
    file.SetInt(kMainForm, kBottomPanelHeight, BottomPanelHeight(bottomPanelHeight));
  }
  file.SetString(kMainForm, kState, StateName(state));
  file.SetString(kMainForm, kEditorKind, editorKind);
  file.SetString(kMainForm, kExternalEditorFile, externalEditorFile);

  file.SetString(kEditFont, kFontName, fontName);
  file.SetInt(kEditFont, kFontSize, FontSize(fontSize));
  file.SetInt(kEditFont, kFontCharset, Charset(fontCharset));
}

WindowSettings LoadWindowSettings(const QString& path, bool* geometryStored) {
  IniFile file;
  file.Load(path);
  WindowSettings settings;
  settings.Read(file);
  if (geometryStored) {
    *geometryStored = true;
    for (QStringView key : {kLeft, kTop, kWidth, kHeight})
      *geometryStored = *geometryStored && OptionalInt(file, kMainForm, key).has_value();
  }
  return settings;
}

QRect MainWindowPlacement::Place(const WindowSettings& settings, bool geometryStored,
                                 const QList<QRect>& screens) {
  const QRect stored(settings.left, settings.top, WindowSide(settings.width), WindowSide(settings.height));
  if (screens.isEmpty()) return stored;
  const QRect primary = screens.first();
  QRect wanted = stored;
  if (!geometryStored) {
    wanted.setSize({kFirstStartWidth, kFirstStartHeight});
    wanted.moveCenter(primary.center() - QPoint(0, kFrameAllowance / 2));
  }
  // The screen showing the largest part of the window, frame included.
  const QRect withFrame = wanted.adjusted(0, 0, 0, kFrameAllowance);
  QRect area = primary;
  qint64 bestOverlap = 0;
  for (const QRect& screen : screens) {
    const QRect overlap = screen.intersected(withFrame);
    const qint64 size = qint64(overlap.width()) * overlap.height();
    if (size > bestOverlap) bestOverlap = size, area = screen;
  }
  const int width = std::min(wanted.width(), area.width());
  const int height = std::min(wanted.height(), std::max(1, area.height() - kFrameAllowance));
  const int left = std::clamp(wanted.left(), area.left(), area.left() + area.width() - width);
  const int top = std::clamp(wanted.top(), area.top(), std::max(area.top(), area.top() + area.height() - kFrameAllowance - height));
  return {left, top, width, height};
}

bool StoreWindowSettings(const QString& path, const WindowSettings& settings, QString* error) {
  return UpdateIniFile(
      path, [&](IniFile& file) { settings.Write(file); }, error);
}

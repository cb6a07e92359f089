// What the settings file remembers about the windows: the main window's geometry, state and
// panel sizes, the editor kind and external editor, the editor font, and the text window's
// geometry. Plain data; the windows apply it, the main window through MainWindowPlacement.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>
#include <optional>

#include "ide/settings_file.h"

// Section and key names in the settings file.
namespace settings_names {
inline constexpr QStringView kMainForm = u"MainForm";
inline constexpr QStringView kLeft = u"Left";
inline constexpr QStringView kTop = u"Top";
inline constexpr QStringView kWidth = u"Width";
inline constexpr QStringView kHeight = u"Height";
inline constexpr QStringView kLocalPanelWidth = u"Panel_Var_Local_Width";
inline constexpr QStringView kBottomPanelHeight = u"Panel_Bottom_Height";
inline constexpr QStringView kState = u"State";
inline constexpr QStringView kEditorKind = u"EditorKind";
inline constexpr QStringView kExternalEditorFile = u"ExternalEditorFile";

inline constexpr QStringView kEditFont = u"Edit_Font";
inline constexpr QStringView kFontName = u"Name";
inline constexpr QStringView kFontSize = u"Size";
inline constexpr QStringView kFontCharset = u"Charset";

inline constexpr QStringView kFormMemo = u"FormMemo";  // the text window; Left/Top/Width/Height
}  // namespace settings_names

// Values of "EditorKind". Any value other than kInternalEditor means the external editor.
inline constexpr QStringView kInternalEditor = u"ekInternal";
inline constexpr QStringView kExternalEditor = u"ekExternal";
inline constexpr QStringView kDefaultEditorFont = u"Courier New";

enum class WindowState { Normal, Maximized, Minimized };  // "wsNormal", "wsMaximized", ...

// Ranges numbers are clamped to when read or written. Coordinates and sizes stay within what
// X11 can address; the bottom panel is never lower than 5 pixels.
struct SettingsLimits {
  static constexpr int kMaxCoordinate = 32767;  // left/top in -kMax..kMax, sizes up to kMax
  static constexpr int kMinWindowSide = 100;    // main and text window width and height
  static constexpr int kMinBottomPanelHeight = 5;
  static constexpr int kMinFontSize = 4;
  static constexpr int kMaxFontSize = 200;
  static constexpr int kMaxCharset = 255;
};

// Section "FormMemo": read each time the text window opens, written when it closes with OK.
struct TextWindowGeometry {
  std::optional<int> left;  // absent: centred, (work-area width - 800) div 2
  std::optional<int> top;   // absent: (work-area height - 600) div 2
  int width = 800;
  int height = 600;

  // Where the window goes on a work area of the given size.
  QRect Placement(QSize workArea) const;

  // Missing or non-integer keys give the defaults above.
  void Read(const IniFile& file);
  // "Width" and "Height", and "Left" and "Top" when present; the text window sets them from
  // where it stands before writing.
  void Write(IniFile& file) const;

  bool operator==(const TextWindowGeometry&) const = default;
};

struct WindowSettings {
  // Section "MainForm". The geometry is always that of the normal (not maximised) window.
  int left = 0;
  int top = 0;
  int width = 800;
  int height = 600;
  int localPanelWidth = 150;    // local-variables panel
  int bottomPanelHeight = 220;  // bottom panel with both variable grids
  WindowState state = WindowState::Normal;
  QString editorKind = kInternalEditor.toString();  // kept verbatim
  QString externalEditorFile;

  // Section "Edit_Font".
  QString fontName = kDefaultEditorFont.toString();
  int fontSize = 10;    // points
  int fontCharset = 1;  // 0..255, kept for the file; the default character set is 1

  // Section "FormMemo".
  TextWindowGeometry textWindow;

  // The check mark of "Internal Editor": exactly the text "ekInternal".
  bool UsesInternalEditor() const { return editorKind == kInternalEditor; }
  // Row height of both variable grids: fontSize × 22 / 12 rounded half to even (18 for 10 pt).
  int GridRowHeight() const;

  // Sets every field from the file, a missing or non-integer value giving its default and
  // numbers clamped to SettingsLimits. Two values leave their field as it was, as they leave
  // the window: a "State" other than exactly "wsNormal", "wsMaximized" or "wsMinimized"
  // (a missing "State" is "wsNormal"), and an empty or missing font "Name".
  void Read(const IniFile& file);
  // What the main window writes when it closes, in this order: in the normal state "Left",
  // "Top", "Width", "Height", "Panel_Var_Local_Width", "Panel_Bottom_Height" and "State";
  // otherwise only "State", so the stored geometry stays that of the normal window. Then
  // "EditorKind", "ExternalEditorFile" and the font's "Name", "Size", "Charset". The text
  // window's section is not written here (see TextWindowGeometry::Write).
  void Write(IniFile& file) const;

  bool operator==(const WindowSettings&) const = default;
};

// Reads the settings file at `path`; defaults when it is missing or unreadable.
// *geometryStored tells whether it held the main window's "Left", "Top", "Width" and "Height".
WindowSettings LoadWindowSettings(const QString& path, bool* geometryStored = nullptr);

// Writes `settings` (as Write does) into the settings file at `path`, keeping its other
// sections and keys, and saves it atomically. False when it cannot be written.
bool StoreWindowSettings(const QString& path, const WindowSettings& settings,
                         QString* error = nullptr);

// Where the normal main window goes, as its frame's top-left corner and its client size (the
// frame itself is the window manager's and unknown until the window is shown). `screens` are
// the available areas of the screens, the primary first. A stored geometry is kept, moved and
// shrunk only as far as needed to lie on the screen it overlaps most (the primary when none),
// so its title bar can always be reached; without one the window opens centred on the primary
// screen at the first-start size, or as much of it as the screen allows.
struct MainWindowPlacement {
  static constexpr int kFirstStartWidth = 1100;
  static constexpr int kFirstStartHeight = 750;
  static constexpr int kFrameAllowance = 40;  // room left for the title bar and borders

  static QRect Place(const WindowSettings& settings, bool geometryStored, const QList<QRect>& screens);
};

// TForm_Interpretator: the main window. The editor with its gutter and marker strip, the two
// variable grids, the seven-panel status bar, the tool bar of run and file actions, and the
// picture area on the right (zero width until graphics open it). It is also the run host of
// the engine while a script runs in the window, and installs the window's dialogs, graphics
// surface (the picture area) and information window as the host services of the units.
//
// The class is written in several files, one concern each:
//   main_window.cpp           layout, start-up from the command line, Load/New/Save, the
//                             editor's context menu, the variable windows, window events
//   main_window_actions.cpp   the action table, the tool bars, edit and work modes (the
//                             external editor through external_editor.h)
//   main_window_run_host.cpp  the RunHost implementation
//   main_window_settings.cpp  the settings menu, reading and writing the window settings,
//                             the interface language, the editor font
// The host services it installs are classes of their own: window_dialogs.h, window_surface.h
// and information_form.h.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QTimer>
#include <array>
#include <atomic>

#include "engine/event_throttle.h"
#include "engine/run_host.h"

#include "ide/window_actions.h"
#include "ide/window_dialogs.h"
#include "ide/window_settings.h"

class QMenu;
class QToolBar;
class TForm_help;
class ElementInspector;
class HelpMenu;
class SymbolKeyboard;
class FindReplaceDialog;
class ScriptEditor;
class MarkerStrip;
class VariableGrids;
class WindowSurface;
class InformationForm;

// Where the Load and Save dialogs open and the name they propose: the current script's folder
// and name, or the Scripts folder when the script has no file (or its folder is gone).
struct ScriptDialogStart {
  QString folder;
  QString name;

  static ScriptDialogStart For(const QString& scriptFileName);
};

class TForm_Interpretator : public QMainWindow, public RunHost {
  Q_OBJECT

 public:
  // `arguments` are the command-line parameters after the program name.
  explicit TForm_Interpretator(const QStringList& arguments, QWidget* parent = nullptr);
  ~TForm_Interpretator() override;

  ScriptEditor* editor() const { return editor_; }
  VariableGrids* grids() const { return grids_; }
  QAction* action(WindowAction id) const { return actions_[std::size_t(id)]; }
  HelpMenu* helpMenu() const { return helpMenu_; }
  // The element inspector, made on first use (item "Element inspector" of the help menu).
  ElementInspector* elementInspector();
  // Shows the inspector and connects it to a browser when it has no session yet.
  void openElementInspector();
  SymbolKeyboard* symbolKeyboard() const { return keyboard_; }
  WindowSurface* graphicsSurface() const { return pictureArea_; }
  InformationForm* informationForm() const { return informationForm_; }
  QString statusText(int panel) const;
  bool editMode() const { return editModeFlag_; }
  bool scriptChanged() const { return scriptChanged_; }

  // Loads a script file as the Load action does (without the dialog).
  void loadScript(const QString& fileName);
  // Re-captions every control that carries a catalogue number, in the current language.
  void ApplyInterfaceLanguage();
  const WindowSettings& settings() const { return settings_; }

  // RunHost
  void ProcessEvents() override;
  bool PauseRequested() override;
  bool PauseRequestedFromAnyThread() override;
  void DiscardPendingKeys() override;
  void ShowMessageBox(const QString& text, MessageIcon icon) override;
  bool AskQuestion(const QString& text) override;
  bool HasBreakpoint(int line) override;
  void SetCurrentLineMark(int line) override;
  void SetCaretLine(int line) override;
  void RefreshViews() override;
  void SetStatusText(int panel, const QString& text) override;
  void SetActionStatusWorkMode(bool running) override;
  void ScriptPrepared() override;
  void HideInterfaceWindow() override;
  void AutoRunFinished() override;
  void ExitProgram(int status) override;
  void PlaySound(SystemSound sound) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // main_window.cpp
  void clearViews();
  QString askScriptFileName(bool save);
  void A_LoadSlot();
  void A_NewSlot();
  void A_SaveSlot();
  void updateCaption();
  void onGutterClicked(int line, bool ctrl);
  void showVariableWindow(const QString& name);
  void onEditorContextMenu(const QPoint& at);
  void wordHelp(const QString& word);

  // main_window_actions.cpp
  void createActions();
  // Starts a new row of tool bars wherever the next one would not fit beside the others.
  void arrangeToolBarRows();
  void SetActionStatus_EditMode();
  void A_EditSlot();
  void enterWorkMode(bool cancelChanges);
  void editExternally();

  // main_window_settings.cpp
  void buildSettingsMenu();
  void setEditorKind(bool internal);
  void ReadSettings();
  void WriteSettings();
  void A_FontSlot();

  ScriptEditor* editor_;
  MarkerStrip* strip_;
  VariableGrids* grids_;
  WindowSurface* pictureArea_;  // the graphics surface
  InformationForm* informationForm_;
  WindowDialogs dialogs_{this};
  QSplitter* graphicsSplitter_;  // the script | the graphics panel
  std::array<QLabel*, 7> panels_{};
  std::array<QAction*, kWindowActionCount> actions_{};
  QTimer autoRunTimer_;
  bool editModeFlag_ = false;
  bool scriptChanged_ = false;
  std::atomic<bool> pauseKey_{false};  // also read by the JavaScript watchdog thread
  bool closing_ = false;
  EventThrottle eventsDue_{15};
  WindowSettings settings_;
  TForm_help* helpWindow_ = nullptr;
  QList<QPair<int, int>> savedMarks_;  // the marks when edit mode began
  HelpMenu* helpMenu_ = nullptr;
  ElementInspector* inspector_ = nullptr;
  SymbolKeyboard* keyboard_ = nullptr;
  FindReplaceDialog* findDialog_ = nullptr;
  FindReplaceDialog* replaceDialog_ = nullptr;
  QMenu* settingsMenu_ = nullptr;
  QAction* internalEditorItem_ = nullptr;
  QAction* externalEditorItem_ = nullptr;
  QAction* specifyEditorItem_ = nullptr;
  QMenu* editorKindMenu_ = nullptr;
  QMenu* languageMenu_ = nullptr;
  QSplitter* gridsSplitter_ = nullptr;  // script and graphics above | the variable grids
  QFont editorFont_{QStringLiteral("Courier New"), 10};
  QList<QToolBar*> toolBars_;
  bool panelSizesPending_ = false;  // the stored panel sizes wait for the first layout
};

// The main window's actions: the action table and its three tool bars, the enabling of the
// actions in work and edit mode, and the switches between the two modes.
#include <QCursor>
#include <QToolBar>
#include <functional>

#include "engine/message_numbers.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/run_control.h"
#include "engine/script_files.h"
#include "engine/statements.h"
#include "ide/completion.h"
#include "ide/external_editor.h"
#include "ide/find_replace.h"
#include "ide/help_menu.h"
#include "ide/main_window.h"
#include "ide/script_editor.h"
#include "ide/symbol_keyboard.h"
#include "ide/tool_bar_icons.h"

using namespace Qt::Literals::StringLiterals;

namespace {

enum ToolBar { kRunBar, kScriptBar, kToolsBar };

struct ActionSpec {
  WindowAction id;
  const char16_t* name;  // the object name
  ToolBar bar;
  int caption;  // catalogue entry; the hint is the next one
  QKeySequence shortcut;
};

// In tool-bar order; every WindowAction appears once.
const ActionSpec kActions[] = {
    {WindowAction::Start, u"A_Start", kRunBar, 301, QKeySequence(Qt::Key_F10)},
    {WindowAction::Step, u"A_Step", kRunBar, 303, QKeySequence(Qt::Key_F8)},
    {WindowAction::StepOver, u"A_StepOver", kRunBar, 316, QKeySequence(Qt::Key_F7)},
    {WindowAction::ContinueRun, u"A_Continue_run", kRunBar, 305, QKeySequence(Qt::CTRL | Qt::Key_F10)},
    {WindowAction::Fast, u"a_Fast", kRunBar, 307, QKeySequence(Qt::CTRL | Qt::Key_T)},
    {WindowAction::Pause, u"A_Pause", kRunBar, 330, QKeySequence()},
    {WindowAction::LoadScript, u"A_Load_script", kScriptBar, 309, QKeySequence(Qt::CTRL | Qt::Key_L)},
    {WindowAction::NewScript, u"A_New_script", kScriptBar, 311, QKeySequence()},
    {WindowAction::Edit, u"A_Edit", kScriptBar, 313, QKeySequence(Qt::Key_F4)},
    {WindowAction::Work, u"A_Work", kScriptBar, 321, QKeySequence(Qt::Key_F5)},
    {WindowAction::Save, u"A_Save", kScriptBar, 323, QKeySequence(Qt::CTRL | Qt::Key_S)},
    {WindowAction::CancelChanges, u"A_Cancel_changes", kScriptBar, 325, QKeySequence()},
    {WindowAction::Find, u"A_Find", kScriptBar, 318, QKeySequence(Qt::CTRL | Qt::Key_F)},
    {WindowAction::Replace, u"A_Replace", kScriptBar, 292, QKeySequence(Qt::CTRL | Qt::Key_R)},
    {WindowAction::Settings, u"A_settings", kToolsBar, 290, QKeySequence()},
    {WindowAction::AdditionalKeyboard, u"A_Additional_kbd", kToolsBar, 333, QKeySequence()},
    {WindowAction::Font, u"A_Font", kToolsBar, 335, QKeySequence()},
    {WindowAction::Help, u"A_Help", kToolsBar, 337, QKeySequence()},
};
static_assert(std::size(kActions) == kWindowActionCount);

// When an action is shown or enabled in work mode.
enum class When { Always, Never, Running, Idle, Runnable };

struct WorkModeRule {
  WindowAction id;
  When shown;
  When enabled;
};

const WorkModeRule kWorkModeRules[] = {
    {WindowAction::Edit, When::Always, When::Idle},
    {WindowAction::Start, When::Always, When::Runnable},
    {WindowAction::ContinueRun, When::Always, When::Runnable},
    {WindowAction::Step, When::Always, When::Idle},
    {WindowAction::StepOver, When::Always, When::Idle},
    {WindowAction::NewScript, When::Always, When::Idle},
    {WindowAction::LoadScript, When::Always, When::Idle},
    {WindowAction::Save, When::Always, When::Idle},
    {WindowAction::Fast, When::Always, When::Running},
    {WindowAction::Pause, When::Always, When::Running},
    {WindowAction::Work, When::Never, When::Never},
    {WindowAction::CancelChanges, When::Never, When::Never},
    {WindowAction::Settings, When::Always, When::Idle},
    {WindowAction::Font, When::Always, When::Idle},
    {WindowAction::Find, When::Idle, When::Idle},
    {WindowAction::Replace, When::Never, When::Never},
    {WindowAction::AdditionalKeyboard, When::Never, When::Idle},
    {WindowAction::Help, When::Idle, When::Idle},
};
static_assert(std::size(kWorkModeRules) == kWindowActionCount);

// The only actions edit mode shows (all of them enabled).
const WindowAction kEditModeActions[] = {WindowAction::Work,     WindowAction::CancelChanges,
                                         WindowAction::Settings, WindowAction::Font,
                                         WindowAction::Find,     WindowAction::Replace,
                                         WindowAction::AdditionalKeyboard, WindowAction::Help};

bool Holds(When when, bool running) {
  switch (when) {
    case When::Always: return true;
    case When::Never: return false;
    case When::Running: return running;
    case When::Idle: return !running;
    case When::Runnable: return !running && Engine().ScriptLines.size() >= 2;
  }
  return false;
}

}  // namespace

void TForm_Interpretator::createActions() {
  // Three tool bars (running, the script, the tools) that take a row of their own only when
  // the window is too narrow for them side by side.
  for (const QString& name : {u"RunBar"_s, u"ScriptBar"_s, u"ToolsBar"_s}) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setMovable(false);
    // The drawn icons stand beside the captions, which stay the buttons' main text.
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    toolBars_ << bar;
  }
  for (const ActionSpec& s : kActions) {
    auto* a = new QAction(MessageText(s.caption), this);
    a->setObjectName(QString::fromUtf16(s.name));
    a->setToolTip(MessageText(s.caption + 1));
    a->setIcon(ToolBarIcon(s.id));
    a->setShortcut(s.shortcut);
    a->setProperty("catalogue", s.caption);
    toolBars_[s.bar]->addAction(a);
    actions_[std::size_t(s.id)] = a;
  }
  action(WindowAction::Replace)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::CTRL | Qt::Key_H)});
  action(WindowAction::Fast)->setCheckable(true);
  buildSettingsMenu();

  const std::pair<WindowAction, std::function<void()>> behaviours[] = {
      {WindowAction::Start, [] { A_StartExecute(RunInitiator::Start); }},
      {WindowAction::Step, [] { A_StepExecute(RunInitiator::Step); }},
      {WindowAction::StepOver, [] { A_StepOverExecute(); }},
      {WindowAction::ContinueRun, [] { A_Continue_runExecute(RunInitiator::Continue); }},
      {WindowAction::Fast,
       [this] {
         RunControl().FastDisplay = action(WindowAction::Fast)->isChecked();
         SetActionStatusWorkMode(RunInProgress());
       }},
      {WindowAction::Pause, [] { A_PauseExecute(); }},
      {WindowAction::LoadScript, [this] { A_LoadSlot(); }},
      {WindowAction::NewScript, [this] { A_NewSlot(); }},
      {WindowAction::Edit, [this] { A_EditSlot(); }},
      {WindowAction::Work, [this] { enterWorkMode(false); }},
      {WindowAction::Save, [this] { A_SaveSlot(); }},
      {WindowAction::CancelChanges, [this] { enterWorkMode(true); }},
      {WindowAction::Find,
       [this] {
         if (!findDialog_) findDialog_ = new FindReplaceDialog(editor_, false, this);
         findDialog_->start();
       }},
      {WindowAction::Replace,
       [this] {
         if (!replaceDialog_) replaceDialog_ = new FindReplaceDialog(editor_, true, this);
         replaceDialog_->start();
       }},
      {WindowAction::Settings, [this] { settingsMenu_->popup(QCursor::pos()); }},
      {WindowAction::AdditionalKeyboard, [this] { keyboard_->setVisible(!keyboard_->isVisible()); }},
      {WindowAction::Font, [this] { A_FontSlot(); }},
      {WindowAction::Help, [this] { helpMenu_->popup(QCursor::pos()); }},
  };
  for (const auto& [id, behaviour] : behaviours) connect(action(id), &QAction::triggered, this, behaviour);
}

void TForm_Interpretator::arrangeToolBarRows() {
  int rowWidth = 0;
  for (QToolBar* bar : std::as_const(toolBars_)) {
    bool anyShown = false;
    for (const QAction* a : bar->actions()) anyShown = anyShown || a->isVisible();
    bar->setVisible(anyShown);
    if (toolBarBreak(bar)) removeToolBarBreak(bar);
    if (!anyShown) continue;
    const int barWidth = bar->sizeHint().width();
    if (rowWidth > 0 && rowWidth + barWidth > width()) {
      insertToolBarBreak(bar);
      rowWidth = 0;
    }
    rowWidth += barWidth;
  }
}

// ---- Modes ------------------------------------------------------------------------------------

void TForm_Interpretator::SetActionStatusWorkMode(bool running) {
  // A run from the first line begins afresh: the values of the previous run go at once, not
  // only when the run stops.
  if (running && Engine().CurrentLine == 0) clearViews();
  editModeFlag_ = false;
  for (const WorkModeRule& rule : kWorkModeRules) {
    QAction* a = action(rule.id);
    a->setVisible(Holds(rule.shown, running));
    a->setEnabled(Holds(rule.enabled, running));
  }
  keyboard_->hide();
  action(WindowAction::Fast)->setChecked(RunControl().FastDisplay);
  editor_->setReadOnly(true);
  arrangeToolBarRows();
}

void TForm_Interpretator::SetActionStatus_EditMode() {
  editModeFlag_ = true;
  for (QAction* a : actions_) {
    a->setVisible(false);
    a->setEnabled(false);
  }
  keyboard_->hide();
  for (WindowAction id : kEditModeActions) {
    action(id)->setVisible(true);
    action(id)->setEnabled(true);
  }
  editor_->setReadOnly(false);
  arrangeToolBarRows();
}

void TForm_Interpretator::A_EditSlot() {
  if (!internalEditorItem_->isChecked()) {
    editExternally();
    return;
  }
  savedMarks_ = editor_->marks().mid(0, 100);
  SetActionStatus_EditMode();
  editor_->setModeColours(true);
  editor_->setCaretLineVisible(false);
  editor_->setCompletionItems(CurrentCompletionList());
  RunControl().ShowErrors = false;
  editor_->setFocus();
  editor_->setModified(false);
}

void TForm_Interpretator::enterWorkMode(bool cancelChanges) {
  EngineState& e = Engine();
  editor_->setModeColours(false);
  editor_->setCaretLineVisible(true);
  RunControl().ShowErrors = true;
  if (editor_->isModified()) {
    if (!cancelChanges && editor_->lines().size() > kMaxScriptLines) {
      ShowMessageBox(MessageText(msg::kScriptTooLong, {kMaxScriptLines}), MessageIcon::Error);
      return;
    }
    const int marker = editor_->currentLineMark();
    if (cancelChanges) {
      editor_->setLines(e.ScriptLines);
      editor_->restoreMarks(savedMarks_);
      scriptChanged_ = false;
    } else {
      e.ScriptLines = editor_->lines();
      for (QString& line : e.ScriptLines)  // the editor keeps no trailing blanks
        while (line.endsWith(u' ')) line.chop(1);
      scriptChanged_ = true;
      PrepareScript();
      WriteTextFileAtomic(ScriptsFolder() + u"$$$.tmp"_s, e.ScriptLines, true);
    }
    ComputeLineIndents();
    if (marker >= 0) e.CurrentLine = marker;
  }
  editor_->setModified(false);
  SetActionStatusWorkMode(false);
}

// The script goes to the external editor; what the editor saved comes back as the script, in
// work mode.
void TForm_Interpretator::editExternally() {
  const ExternalEdit edit = EditInExternalEditor(settings_.externalEditorFile, Engine().ScriptLines,
                                                 Engine().CurrentLine);
  switch (edit.outcome) {
    case ExternalEdit::NoEditorChosen:
      ShowMessageBox(MessageText(msg::kNoExternalEditor), MessageIcon::Information);
      return;
    case ExternalEdit::EditorMissing:
      ShowMessageBox(MessageText(msg::kInvalidFileName, {settings_.externalEditorFile}), MessageIcon::Information);
      return;
    case ExternalEdit::Unchanged:
      return;
    case ExternalEdit::Changed:
      Engine().ScriptLines = edit.lines;
      scriptChanged_ = true;
      PrepareScript();
      enterWorkMode(false);
      return;
  }
}

#include "ide/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QDialog>
#include <QDir>
#include <QFontDialog>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "engine/engine_state.h"
#include "engine/line_breaks.h"
#include "engine/line_text.h"
#include "engine/local_texts.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/run_control.h"
#include "engine/script_files.h"
#include "engine/script_loading.h"
#include "engine/statements.h"
#include "engine/value_window_text.h"
#include "functions/script_host.h"
#include "ide/find_replace.h"
#include "ide/help_menu.h"
#include "ide/help_window.h"
#include "ide/symbol_keyboard.h"
#include "ide/completion.h"
#include "ide/syntax_lexer.h"
#include "ide/marker_strip.h"
#include "ide/pause_key.h"
#include "ide/script_editor.h"
#include "ide/variable_grids.h"
#include "ide/settings_file.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor kWorkGutter(0xA6, 0xCA, 0xF0);
const QColor kEditGutter(0xC0, 0xFF, 0xC0);
const QColor kCaretLine(0xC0, 0xFF, 0xFF);

// On the first start the Scripts folder gets a welcome script and the examples.
void InstallSampleScripts() {
  QDir scripts(ScriptsFolder());
  if (!scripts.entryList({u"*.txt"_s}, QDir::Files).isEmpty()) return;
  QDir samples(u":/tressaly/samples"_s);
  for (const QString& name : samples.entryList(QDir::Files)) {
    QFile source(samples.filePath(name));
    if (!source.open(QIODevice::ReadOnly)) continue;
    QFile target(scripts.filePath(name));
    if (target.open(QIODevice::WriteOnly)) target.write(source.readAll());
  }
}

// The available areas of the screens, the primary first.
QList<QRect> AvailableScreenAreas() {
  QList<QRect> areas;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) areas << primary->availableGeometry();
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen != primary) areas << screen->availableGeometry();
  return areas;
}

// Gives the second pane of a two-pane splitter `size` pixels, leaving the first at least
// `minFirst`. The panes share the splitter's extent less its handle.
void SetSecondPaneSize(QSplitter* splitter, int size, int minFirst) {
  const QList<int> sizes = splitter->sizes();
  const int total = sizes.value(0) + sizes.value(1);
  const int second = std::clamp(size, 0, std::max(0, total - minFirst));
  splitter->setSizes({total - second, second});
}

}  // namespace

ScriptDialogStart ScriptDialogStart::For(const QString& scriptFileName) {
  const QString scripts = QDir(ScriptsFolder()).absolutePath();
  if (scriptFileName.isEmpty()) return {scripts, QString()};
  const QFileInfo script(QDir(scripts), scriptFileName);
  if (!script.dir().exists()) return {scripts, script.fileName()};
  return {script.absolutePath(), script.fileName()};
}

TForm_Interpretator::TForm_Interpretator(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      editor_(new ScriptEditor),
      strip_(new MarkerStrip(editor_)),
      grids_(new VariableGrids),
      pictureArea_(new QWidget),
      mainSplitter_(new QSplitter(Qt::Horizontal)) {
  auto* editorArea = new QWidget;
  auto* areaLayout = new QVBoxLayout(editorArea);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  areaLayout->setSpacing(0);
  auto* rowLayout = new QHBoxLayout;
  rowLayout->setSpacing(0);
  rowLayout->addWidget(editor_, 1);
  rowLayout->addWidget(strip_);
  areaLayout->addLayout(rowLayout, 1);
  keyboard_ = new SymbolKeyboard(editor_);
  keyboard_->hide();
  areaLayout->addWidget(keyboard_);
  leftSplitter_ = new QSplitter(Qt::Vertical);
  leftSplitter_->addWidget(editorArea);
  leftSplitter_->addWidget(grids_);
  leftSplitter_->setSizes({380, 220});
  // A larger or smaller window changes the editor and the global grid; the bottom panel and
  // the local grid keep their sizes.
  leftSplitter_->setStretchFactor(0, 1);
  leftSplitter_->setStretchFactor(1, 0);
  mainSplitter_->addWidget(leftSplitter_);
  mainSplitter_->addWidget(pictureArea_);
  mainSplitter_->setSizes({800, 0});
  setCentralWidget(mainSplitter_);

  constexpr int kPanelWidths[7] = {50, 120, 120, 120, 120, 120, 50};
  for (int i = 0; i < 7; ++i) {
    panels_[std::size_t(i)] = new QLabel;
    panels_[std::size_t(i)]->setMinimumWidth(kPanelWidths[i]);
    if (i < 6) panels_[std::size_t(i)]->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(panels_[std::size_t(i)]);
  }
  helpWindow_ = new TForm_help(this);
  helpMenu_ = new HelpMenu(helpWindow_, this);
  createActions();
  editor_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(editor_, &QWidget::customContextMenuRequested, this, &TForm_Interpretator::onEditorContextMenu);
  connect(keyboard_, &SymbolKeyboard::closed, this, [this] { actions_[u"A_Additional_kbd"_s]->setEnabled(true); });
  connect(editor_, &ScriptEditor::gutterClicked, this, &TForm_Interpretator::onGutterClicked);
  connect(grids_, &VariableGrids::valueWindowRequested, this, &TForm_Interpretator::showVariableWindow);
  qApp->installEventFilter(this);
  sinceEvents_.start();
  SetRunHost(this);
  resize(800, 600);
  InstallSampleScripts();

  // The command line: two-character switches, the script as the first other parameter.
  QString script;
  QString switches;
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a.size() == 2 && a.startsWith(u'/')) switches += AsciiUpper(a) + u'\r';
    else if (i == 0) script = a;
  }
  if (arguments.isEmpty()) script = ScriptsFolder() + u"AutoStart.txt"_s;
  else if (!script.isEmpty() && !script.contains(u'/') && !script.contains(u'\\')) script = ScriptsFolder() + script;
  else if (!script.isEmpty() && !QFileInfo::exists(script)) script = ResolveScriptName(script);
  SetCommandLineParameters(arguments);
  DefineCommandLineArray();
  RunControl().ShowErrors = true;
  loadScript(script);
  scriptChanged_ = false;
  ApplyInterfaceLanguage();
  ReadSettings();

  if (switches.contains(u"/F"_s)) setWindowState(Qt::WindowMaximized);
  else if (switches.contains(u"/M"_s)) setWindowState(Qt::WindowMinimized);
  if (switches.contains(u"/R"_s) && Engine().ScriptLines.size() > 1) {
    RunControl().AutoRun = true;
    autoRunTimer_.setSingleShot(true);
    autoRunTimer_.setInterval(500);
    connect(&autoRunTimer_, &QTimer::timeout, this, [this] {
      if (RunControl().AutoRun) A_StartExecute(RunInitiator::Timer);
    });
    autoRunTimer_.start();
  }
}

TForm_Interpretator::~TForm_Interpretator() {
  qApp->removeEventFilter(this);
  SetRunHost(nullptr);
}

void TForm_Interpretator::createActions() {
  struct ActionSpec {
    const char16_t* name;
    int bar;      // index in toolBars_
    int caption;  // catalogue entry; the hint is the next one
    QKeySequence shortcut;
    void (TForm_Interpretator::*slot)();
  };
  const ActionSpec specs[] = {
      {u"A_Start", 0, 301, QKeySequence(Qt::Key_F10), &TForm_Interpretator::A_StartExecuteSlot},
      {u"A_Step", 0, 303, QKeySequence(Qt::Key_F8), &TForm_Interpretator::A_StepSlot},
      {u"A_StepOver", 0, 316, QKeySequence(Qt::Key_F7), nullptr},
      {u"A_Continue_run", 0, 305, QKeySequence(Qt::CTRL | Qt::Key_F10), &TForm_Interpretator::A_ContinueSlot},
      {u"a_Fast", 0, 307, QKeySequence(Qt::CTRL | Qt::Key_T), nullptr},
      {u"A_Pause", 0, 330, QKeySequence(), nullptr},
      {u"A_Load_script", 1, 309, QKeySequence(Qt::CTRL | Qt::Key_L), &TForm_Interpretator::A_LoadSlot},
      {u"A_New_script", 1, 311, QKeySequence(), &TForm_Interpretator::A_NewSlot},
      {u"A_Edit", 1, 313, QKeySequence(Qt::Key_F4), &TForm_Interpretator::A_EditSlot},
      {u"A_Work", 1, 321, QKeySequence(Qt::Key_F5), nullptr},
      {u"A_Save", 1, 323, QKeySequence(Qt::CTRL | Qt::Key_S), &TForm_Interpretator::A_SaveSlot},
      {u"A_Cancel_changes", 1, 325, QKeySequence(), nullptr},
      {u"A_Find", 1, 318, QKeySequence(Qt::CTRL | Qt::Key_F), nullptr},
      {u"A_Replace", 1, 292, QKeySequence(Qt::CTRL | Qt::Key_R), nullptr},
      {u"A_settings", 2, 290, QKeySequence(), nullptr},
      {u"A_Additional_kbd", 2, 333, QKeySequence(), nullptr},
      {u"A_Font", 2, 335, QKeySequence(), &TForm_Interpretator::A_FontSlot},
      {u"A_Help", 2, 337, QKeySequence(), nullptr},
  };
  // Three tool bars (running, the script, the tools) that take a row of their own only when
  // the window is too narrow for them side by side.
  for (const QString& name : {u"RunBar"_s, u"ScriptBar"_s, u"ToolsBar"_s}) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setMovable(false);
    toolBars_ << bar;
  }
  for (const ActionSpec& s : specs) {
    QToolBar* bar = toolBars_[s.bar];
    auto* a = new QAction(MessageText(s.caption), this);
    a->setObjectName(QString::fromUtf16(s.name));
    a->setToolTip(MessageText(s.caption + 1));
    a->setShortcut(s.shortcut);
    a->setProperty("catalogue", s.caption);
    if (s.slot) connect(a, &QAction::triggered, this, s.slot);
    bar->addAction(a);
    actions_.insert(a->objectName(), a);
  }
  connect(actions_[u"A_StepOver"_s], &QAction::triggered, this, [] { A_StepOverExecute(); });
  connect(actions_[u"A_Pause"_s], &QAction::triggered, this, [] { A_PauseExecute(); });
  connect(actions_[u"A_Work"_s], &QAction::triggered, this, [this] { enterWorkMode(false); });
  connect(actions_[u"A_Cancel_changes"_s], &QAction::triggered, this, [this] { enterWorkMode(true); });
  actions_[u"A_Replace"_s]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::CTRL | Qt::Key_H)});
  connect(actions_[u"A_Find"_s], &QAction::triggered, this, [this] {
    if (!findDialog_) findDialog_ = new FindReplaceDialog(editor_, false, this);
    findDialog_->start();
  });
  connect(actions_[u"A_Replace"_s], &QAction::triggered, this, [this] {
    if (!replaceDialog_) replaceDialog_ = new FindReplaceDialog(editor_, true, this);
    replaceDialog_->start();
  });
  connect(actions_[u"A_Additional_kbd"_s], &QAction::triggered, this, [this] { keyboard_->setVisible(!keyboard_->isVisible()); });
  connect(actions_[u"A_Help"_s], &QAction::triggered, this, [this] { helpMenu_->popup(QCursor::pos()); });
  buildSettingsMenu();
  connect(actions_[u"A_settings"_s], &QAction::triggered, this, [this] { settingsMenu_->popup(QCursor::pos()); });
  QAction* fast = actions_[u"a_Fast"_s];
  fast->setCheckable(true);
  connect(fast, &QAction::triggered, this, [this](bool on) {
    RunControl().FastDisplay = on;
    SetActionStatusWorkMode(RunInProgress());
  });
}

// ---- Modes ------------------------------------------------------------------------------------

bool TForm_Interpretator::runnable() const { return Engine().ScriptLines.size() >= 2 && !RunInProgress(); }

void TForm_Interpretator::SetActionStatusWorkMode(bool running) {
  // A run from the first line begins afresh: the values of the previous run go at once, not
  // only when the run stops.
  if (running && Engine().CurrentLine == 0) clearViews();
  editModeFlag_ = false;
  const auto set = [this](const char16_t* name, bool visible, bool enabled) {
    QAction* a = actions_.value(QString::fromUtf16(name));
    a->setVisible(visible);
    a->setEnabled(enabled);
  };
  const bool canRun = Engine().ScriptLines.size() >= 2 && !running;
  set(u"A_Edit", true, !running);
  set(u"A_Start", true, canRun);
  set(u"A_Continue_run", true, canRun);
  set(u"A_Step", true, !running);
  set(u"A_StepOver", true, !running);
  set(u"A_New_script", true, !running);
  set(u"A_Load_script", true, !running);
  set(u"A_Save", true, !running);
  set(u"a_Fast", true, running);
  set(u"A_Pause", true, running);
  set(u"A_Work", false, false);
  set(u"A_Cancel_changes", false, false);
  set(u"A_settings", true, !running);
  set(u"A_Font", true, !running);
  set(u"A_Find", !running, !running);
  set(u"A_Replace", false, false);
  set(u"A_Additional_kbd", false, !running);
  set(u"A_Help", !running, !running);
  keyboard_->hide();
  actions_[u"a_Fast"_s]->setChecked(RunControl().FastDisplay);
  editor_->setReadOnly(true);
  arrangeToolBarRows();
}

void TForm_Interpretator::SetActionStatus_EditMode() {
  editModeFlag_ = true;
  for (QAction* a : std::as_const(actions_)) {
    a->setVisible(false);
    a->setEnabled(false);
  }
  keyboard_->hide();
  for (const char16_t* name : {u"A_Work", u"A_Cancel_changes", u"A_settings", u"A_Font", u"A_Find", u"A_Replace",
                               u"A_Additional_kbd", u"A_Help"}) {
    actions_[QString::fromUtf16(name)]->setVisible(true);
    actions_[QString::fromUtf16(name)]->setEnabled(true);
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
  editor_->setMarginsBackgroundColor(kEditGutter);
  editor_->setCaretLineVisible(false);
  editor_->setCompletionItems(CurrentCompletionList());
  RunControl().ShowErrors = false;
  editor_->setFocus();
  editor_->setModified(false);
}

void TForm_Interpretator::enterWorkMode(bool cancelChanges) {
  EngineState& e = Engine();
  editor_->setMarginsBackgroundColor(kWorkGutter);
  editor_->setCaretLineVisible(true);
  editor_->setCaretLineBackgroundColor(kCaretLine);
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

// ---- Files ------------------------------------------------------------------------------------

void TForm_Interpretator::updateCaption() {
  setWindowTitle(MessageText(msg::kProgramName) + u"   "_s + Engine().ScriptFileName);
}

void TForm_Interpretator::loadScript(const QString& fileName) {
  // Nothing of the previous script stays in view: its variables go as a run from line 0
  // would clear them.
  ClearVariables();
  DefineCommandLineArray();
  LoadScript(fileName);
  clearViews();
  Engine().CurrentLine = 0;
  SetCurrentLineMark(0);
  enterWorkMode(false);
  scriptChanged_ = false;
  updateCaption();
}

// The Load or Save dialog at the current script; the chosen file, or empty when cancelled.
QString TForm_Interpretator::askScriptFileName(bool save) {
  const ScriptDialogStart start = ScriptDialogStart::For(Engine().ScriptFileName);
  QFileDialog dialog(this, QString(), start.folder);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Saving over the script's own file is what Save is for; A_SaveSlot asks about another
    // existing file, named as it will be saved.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(u"txt"_s);
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({u"text files (*.txt)"_s, u"all files (*)"_s});
  }
  dialog.selectFile(start.name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void TForm_Interpretator::A_LoadSlot() {
  QString name = askScriptFileName(false);
  if (name.isEmpty()) return;
  if (QFileInfo(name).suffix().isEmpty()) name += u".txt"_s;
  mainSplitter_->setSizes({width(), 0});
  loadScript(name);
}

void TForm_Interpretator::A_NewSlot() {
  loadScript(QString());
  A_EditSlot();
}

void TForm_Interpretator::A_SaveSlot() {
  const QString name = askScriptFileName(true);
  if (name.isEmpty()) return;
  if (QFileInfo(name) != QFileInfo(Engine().ScriptFileName) && QFileInfo::exists(name) &&
      !AskQuestion(Bilingual(u"The file \"%1\" already exists. Replace it?",
                             u"Файл \"%1\" уже существует. Заменить его?").arg(name)))
    return;
  int failedInclude = -1;
  QString saved;
  const bool written = SaveScriptFile(name, Engine().ScriptLines, &failedInclude, &saved);
  if (failedInclude >= 0) {
    Engine().CurrentLine = failedInclude;
    RaiseScriptError(MessageText(msg::kIncludeEndMissing));
    ErrorStop();
  }
  if (!written) {
    // The script keeps its file name and its changed mark: closing still warns about it.
    ShowMessageBox(Bilingual(u"The script was not saved: \"%1\" cannot be written.",
                             u"Скрипт не сохранён: не удаётся записать \"%1\".").arg(saved),
                   MessageIcon::Error);
    return;
  }
  Engine().ScriptFileName = saved;
  updateCaption();
  scriptChanged_ = false;
  editor_->setModified(false);
}

// ---- Run actions ------------------------------------------------------------------------------

void TForm_Interpretator::A_StartExecuteSlot() { A_StartExecute(RunInitiator::Start); }
void TForm_Interpretator::A_StepSlot() { A_StepExecute(RunInitiator::Step); }
void TForm_Interpretator::A_ContinueSlot() { A_Continue_runExecute(RunInitiator::Continue); }

void TForm_Interpretator::onGutterClicked(int line, bool ctrl) {
  if (editModeFlag_ || line >= Engine().ScriptLines.size()) return;
  if (TrimControl(StripComment(Engine().ScriptLines[line])).isEmpty() && line >= 1) return;
  if (ctrl) {
    Engine().CurrentLine = line;
    SetCurrentLineMark(line);
  } else {
    editor_->toggleBreakpoint(line);
  }
}

void TForm_Interpretator::showVariableWindow(const QString& name) {
  const QString temp = ProgramFolder() + u"Temp"_s;
  if (!QDir().mkpath(temp)) {
    ShowMessageBox(MessageText(msg::kMissingDirectory, {temp}), MessageIcon::Information);
    return;
  }
  const QString text = VariableWindowText(name);
  if (text.isEmpty()) return;
  setProperty("leftPartWidth", leftSplitter_->width());
  helpWindow_->showLines(QStringList{name} + text.split(u'\r'), OffersUnprintableItem(name));
}
// ---- RunHost ----------------------------------------------------------------------------------

void TForm_Interpretator::ProcessEvents() {
  // The window is serviced at most every 15 ms: often enough to feel immediate, rarely enough
  // to keep long runs fast.
  if (sinceEvents_.elapsed() < 15) return;
  QApplication::processEvents();
  sinceEvents_.restart();
}

bool TForm_Interpretator::PauseRequested() { return pauseKey_; }
// While a JavaScript evaluation blocks the event loop, key presses are not delivered: the
// watchdog reads the key's state from the X server instead.
bool TForm_Interpretator::PauseRequestedFromAnyThread() { return pauseKey_ || PauseKeyDownNow(); }
void TForm_Interpretator::DiscardPendingKeys() { pauseKey_ = false; }

void TForm_Interpretator::onEditorContextMenu(const QPoint& at) {
  const QString word = editor_->wordAtPoint(at);
  bool insideSelection = false;
  if (editor_->hasSelectedText()) {
    const long pos = editor_->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINT, at.x(), at.y());
    const long from = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long to = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    insideSelection = pos >= from && pos <= to;
  }
  if (insideSelection || word.isEmpty()) {
    QMenu menu(this);
    const bool writable = !editor_->isReadOnly();
    menu.addAction(u"Copy (Ctrl C)"_s, editor_, &QsciScintilla::copy);
    menu.addAction(u"Cut (Ctrl X)"_s, editor_, &QsciScintilla::cut)->setEnabled(writable);
    menu.addAction(u"Paste (Ctrl V)"_s, editor_, &QsciScintilla::paste)->setEnabled(writable);
    menu.addAction(u"Delete"_s, editor_, &QsciScintilla::removeSelectedText)->setEnabled(writable);
    menu.exec(editor_->mapToGlobal(at));
    return;
  }
  wordHelp(word);
}

void TForm_Interpretator::wordHelp(const QString& word) {
  const QString text = WordHelpText(word);
  if (!text.isEmpty()) {
    setProperty("leftPartWidth", leftSplitter_->width());
    helpWindow_->showLines(text.split(u'\r'));
    return;
  }
  if (FindVariable(word) >= 0) showVariableWindow(word);
  else if (FindArray(word) > 0) showVariableWindow(word + u"[]"_s);
}

bool TForm_Interpretator::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
      !static_cast<QKeyEvent*>(event)->isAutoRepeat() && isActiveWindow() && !RunInProgress()) {
    helpMenu_->keywordSearch();
    return true;
  }
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Pause && RunInProgress()) {
    pauseKey_ = true;
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm_Interpretator::ShowMessageBox(const QString& text, MessageIcon icon) {
  static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                 QMessageBox::Warning, QMessageBox::Critical,
                                                 QMessageBox::Question};
  QMessageBox box(kIcons[int(icon)], QString(), WithLfLineBreaks(text), QMessageBox::Ok, this);
  box.exec();
}

bool TForm_Interpretator::AskQuestion(const QString& text) {
  return QMessageBox::question(this, QString(), WithLfLineBreaks(text)) == QMessageBox::Yes;
}

void TForm_Interpretator::ShowText(const QString& text) { ShowMessageBox(text, MessageIcon::Information); }
bool TForm_Interpretator::HasBreakpoint(int line) { return editor_->hasBreakpoint(line); }
void TForm_Interpretator::SetCurrentLineMark(int line) { editor_->setCurrentLineMark(line); }
void TForm_Interpretator::SetCaretLine(int line) {
  if (line >= 0 && line < editor_->lines().size()) editor_->setCursorPosition(line, 0);
}
void TForm_Interpretator::RefreshViews() { grids_->refresh(); }
void TForm_Interpretator::SetStatusText(int panel, const QString& text) {
  if (panel >= 0 && panel < 7) panels_[std::size_t(panel)]->setText(text);
}
QString TForm_Interpretator::statusText(int panel) const { return panels_[std::size_t(panel)]->text(); }

void TForm_Interpretator::ScriptPrepared() {
  editor_->lexer()->RebuildKeywords();
  editor_->setLines(Engine().ScriptLines);
  editor_->setReadOnly(true);
  editor_->setModified(false);
  strip_->update();
}

// The bell of the display: short, never blocking, silent where the display has none.
void TForm_Interpretator::PlaySound(SystemSound) { QApplication::beep(); }

void TForm_Interpretator::AutoRunFinished() { QTimer::singleShot(2000, this, &QWidget::close); }

void TForm_Interpretator::ExitProgram(int status) {
  closing_ = true;
  QTimer::singleShot(0, qApp, [status] { QApplication::exit(status); });
}

void TForm_Interpretator::closeEvent(QCloseEvent* event) {
  if (RunInProgress()) {
    A_PauseExecute();
    event->ignore();
    return;
  }
  if (!closing_ && (scriptChanged_ || editor_->isModified()) &&
      !AskQuestion(MessageText(msg::kCloseWithoutSaving))) {
    event->ignore();
    return;
  }
  JavaScriptHost::Instance().Release();
  WriteSettings();
  event->accept();
}

void TForm_Interpretator::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!panelSizesPending_) return;
  // The splitters know their real extent only once the window is laid out; the stored sizes
  // are those of the bottom panel and the local grid themselves.
  panelSizesPending_ = false;
  SetSecondPaneSize(leftSplitter_, settings_.bottomPanelHeight, 50);
  SetSecondPaneSize(grids_, settings_.localPanelWidth, 30);
  arrangeToolBarRows();
}

void TForm_Interpretator::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  arrangeToolBarRows();
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

// The grids show their headers and one empty row, the status bar nothing.
void TForm_Interpretator::clearViews() {
  grids_->clear();
  for (QLabel* panel : panels_) panel->clear();
}

// ---- Settings and language ---------------------------------------------------------------------

void TForm_Interpretator::buildSettingsMenu() {
  settingsMenu_ = new QMenu(this);
  editorKindMenu_ = settingsMenu_->addMenu(MessageText(msg::kEditorKind));
  editorKindMenu_->setProperty("catalogue", msg::kEditorKind);
  internalEditorItem_ = editorKindMenu_->addAction(MessageText(msg::kUseInternalEditor));
  internalEditorItem_->setObjectName(u"mi_InternalEditor"_s);
  internalEditorItem_->setProperty("catalogue", msg::kUseInternalEditor);
  externalEditorItem_ = editorKindMenu_->addAction(MessageText(msg::kUseExternalEditor));
  externalEditorItem_->setObjectName(u"mi_ExternalEditor"_s);
  externalEditorItem_->setProperty("catalogue", msg::kUseExternalEditor);
  for (QAction* a : {internalEditorItem_, externalEditorItem_}) a->setCheckable(true);
  internalEditorItem_->setChecked(true);
  connect(internalEditorItem_, &QAction::triggered, this, [this] { setEditorKind(true); });
  connect(externalEditorItem_, &QAction::triggered, this, [this] { setEditorKind(false); });
  specifyEditorItem_ = settingsMenu_->addAction(MessageText(msg::kSpecifyExternalEditor));
  specifyEditorItem_->setObjectName(u"mi_SpecifyEditor"_s);
  specifyEditorItem_->setProperty("catalogue", msg::kSpecifyExternalEditor);
  connect(specifyEditorItem_, &QAction::triggered, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, QString(), u"/usr/bin"_s);
    if (file.isEmpty()) return;
    settings_.externalEditorFile = file;
    specifyEditorItem_->setToolTip(file);
    UpdateIniFile(ProgramSettingsPath(), [&](IniFile& ini) {
      ini.SetString(settings_names::kMainForm, settings_names::kExternalEditorFile, file);
    });
  });
  languageMenu_ = settingsMenu_->addMenu(MessageText(msg::kInterfaceLanguage));
  languageMenu_->setProperty("catalogue", msg::kInterfaceLanguage);
  const auto language = [this](const QString& caption, const QString& name, int index) {
    QAction* item = languageMenu_->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, [this, index] {
      SetLanguageIndex(index);
      ApplyInterfaceLanguage();
    });
  };
  language(u"English"_s, u"mi__English"_s, 0);
  language(u"Русский"_s, u"mi__Russian"_s, 1);
  settingsMenu_->addAction(actions_[u"A_Font"_s]);
}

void TForm_Interpretator::setEditorKind(bool internal) {
  internalEditorItem_->setChecked(internal);
  externalEditorItem_->setChecked(!internal);
  settings_.editorKind = (internal ? kInternalEditor : kExternalEditor).toString();
}

void TForm_Interpretator::ApplyInterfaceLanguage() {
  updateCaption();
  grids_->applyLanguage();
  for (QAction* a : std::as_const(actions_)) {
    const int n = a->property("catalogue").toInt();
    if (const QString caption = MessageText(n); !caption.isEmpty()) a->setText(caption);
    if (const QString hint = MessageText(n + 1); !hint.isEmpty() && n != msg::kHelpAction)
      a->setToolTip(hint);
  }
  for (QAction* a : {internalEditorItem_, externalEditorItem_, specifyEditorItem_})
    a->setText(MessageText(a->property("catalogue").toInt()));
  for (QMenu* m : {editorKindMenu_, languageMenu_}) m->setTitle(MessageText(m->property("catalogue").toInt()));
  helpMenu_->applyLanguage();
  arrangeToolBarRows();
}

void TForm_Interpretator::ReadSettings() {
  bool geometryStored = false;
  settings_ = LoadWindowSettings(ProgramSettingsPath(), &geometryStored);
  // "Left" and "Top" are the frame's corner (what WriteSettings stores), "Width" and "Height"
  // the client size: move() and resize() take them so.
  const QRect placed = MainWindowPlacement::Place(settings_, geometryStored, AvailableScreenAreas());
  move(placed.topLeft());
  resize(placed.size());
  // A first start gives the local grid room for its column headers.
  if (!geometryStored) settings_.localPanelWidth = std::max(settings_.localPanelWidth, grids_->localPanelWidthNeeded());
  panelSizesPending_ = true;
  if (settings_.state == WindowState::Maximized) setWindowState(Qt::WindowMaximized);
  else if (settings_.state == WindowState::Minimized) setWindowState(Qt::WindowMinimized);
  setEditorKind(settings_.UsesInternalEditor());
  specifyEditorItem_->setToolTip(settings_.externalEditorFile);
  QFont font(QStringLiteral("Courier New"), 10);
  if (!settings_.fontName.isEmpty()) font.setFamily(settings_.fontName);
  font.setPointSize(settings_.fontSize);
  editor_->setEditorFont(font);
  editorFont_ = font;
  grids_->setRowHeight(settings_.GridRowHeight());
}

void TForm_Interpretator::WriteSettings() {
  if (windowState() & Qt::WindowMaximized) {
    settings_.state = WindowState::Maximized;
  } else if (windowState() & Qt::WindowMinimized) {
    settings_.state = WindowState::Minimized;
  } else {
    settings_.state = WindowState::Normal;
    settings_.left = x();  // the frame's corner
    settings_.top = y();
    settings_.width = width();
    settings_.height = height();
    settings_.localPanelWidth = grids_->sizes().value(1, settings_.localPanelWidth);
    settings_.bottomPanelHeight = leftSplitter_->sizes().value(1, settings_.bottomPanelHeight);
  }
  settings_.fontName = editorFont_.family();
  settings_.fontSize = editorFont_.pointSize();
  if (!StoreWindowSettings(ProgramSettingsPath(), settings_))
    QMessageBox::information(this, QString(), u"Can not save data to INI - file."_s);
}

void TForm_Interpretator::A_FontSlot() {
  QFontDialog dialog(editorFont_, this);  // opens at the editor's font
  if (dialog.exec() != QDialog::Accepted) return;
  const QFont chosen = dialog.selectedFont();
  editor_->setEditorFont(chosen);
  editorFont_ = chosen;
}

// The script is edited in the external editor: a copy in "$$$1.tmp", read back when the
// editor has changed it.
void TForm_Interpretator::editExternally() {
  const QString editor = settings_.externalEditorFile;
  if (editor.isEmpty()) {
    ShowMessageBox(MessageText(msg::kNoExternalEditor), MessageIcon::Information);
    return;
  }
  if (!QFileInfo::exists(editor)) {
    QMessageBox::information(this, QString(), MessageText(msg::kInvalidFileName, {editor}));
    return;
  }
  const QString copy = ScriptsFolder() + u"$$$1.tmp"_s;
  WriteTextFileAtomic(copy, Engine().ScriptLines, true);
  const QDateTime before = QFileInfo(copy).lastModified();
  QStringList arguments;
  if (QFileInfo(editor).fileName() == u"notepad++.exe"_s)
    arguments << u"-alwaysOnTop"_s << u"-multiInst"_s << u"-lada"_s << u"-n"_s + QString::number(Engine().CurrentLine + 1);
  QProcess::execute(editor, arguments << copy);
  const QFileInfo after(copy);
  if (std::llround(before.msecsTo(after.lastModified()) / 1000.0) <= 0 || after.size() <= 3) return;
  bool ok = false;
  const QStringList lines = ReadScriptFile(copy, &ok);
  if (!ok) return;
  Engine().ScriptLines = lines;
  scriptChanged_ = true;
  PrepareScript();
  enterWorkMode(false);
}

// The main window's layout, its start-up from the command line, Load, New and Save, the editor's
// context menu and word help, the variable windows and the window's own events.
#include "ide/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
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
#include "ide/element_inspector.h"
#include "ide/help_menu.h"
#include "ide/inspector_window.h"
#include "ide/help_window.h"
#include "ide/marker_strip.h"
#include "ide/script_editor.h"
#include "ide/symbol_keyboard.h"
#include "ide/tool_bar_icons.h"
#include "ide/variable_grids.h"
#include "ide/information_form.h"
#include "ide/window_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// On the first start the Scripts folder gets a welcome script and the examples.
void InstallSampleScripts() {
  QDir scripts(ScriptsFolder());
  if (!scripts.entryList({u"*.txt"_s}, QDir::Files).isEmpty()) return;
  CopyMissingFiles(ShippedFilesFolder(u"samples"_s), scripts.path());
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
      pictureArea_(new WindowSurface),
      informationForm_(new InformationForm(this)),
      graphicsSplitter_(new QSplitter(Qt::Horizontal)) {
  setWindowIcon(ApplicationIcon());
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
  // The graphics panel stands beside the script, above the variable grids, so that opening
  // it leaves the grids their full width.
  graphicsSplitter_->addWidget(editorArea);
  graphicsSplitter_->addWidget(pictureArea_);
  graphicsSplitter_->setSizes({800, 0});
  pictureArea_->hide();  // with its splitter handle, until the first coordinate system
  gridsSplitter_ = new QSplitter(Qt::Vertical);
  gridsSplitter_->addWidget(graphicsSplitter_);
  gridsSplitter_->addWidget(grids_);
  gridsSplitter_->setSizes({380, 220});
  // A larger or smaller window changes the editor and the global grid; the bottom panel and
  // the local grid keep their sizes.
  gridsSplitter_->setStretchFactor(0, 1);
  gridsSplitter_->setStretchFactor(1, 0);
  setCentralWidget(gridsSplitter_);

  constexpr int kPanelWidths[7] = {50, 120, 120, 120, 120, 120, 50};
  for (int i = 0; i < 7; ++i) {
    panels_[std::size_t(i)] = new QLabel;
    panels_[std::size_t(i)]->setMinimumWidth(kPanelWidths[i]);
    if (i < 6) panels_[std::size_t(i)]->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(panels_[std::size_t(i)]);
  }
  helpWindow_ = new TForm_help(this);
  helpMenu_ = new HelpMenu(helpWindow_, this);
  AddWindowInspectorItem(helpMenu_, this, editor_);
  createActions();
  helpMenu_->addSeparator();
  helpMenu_->addAction(Bilingual(u"Element inspector"_s, u"Инспектор элементов"_s), this,
                       &TForm_Interpretator::openElementInspector)
      ->setObjectName(u"ElementInspectorItem"_s);
  editor_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(editor_, &QWidget::customContextMenuRequested, this, &TForm_Interpretator::onEditorContextMenu);
  connect(keyboard_, &SymbolKeyboard::closed, this, [this] { action(WindowAction::AdditionalKeyboard)->setEnabled(true); });
  connect(editor_, &ScriptEditor::gutterClicked, this, &TForm_Interpretator::onGutterClicked);
  connect(grids_, &VariableGrids::valueWindowRequested, this, &TForm_Interpretator::showVariableWindow);
  qApp->installEventFilter(this);
  SetRunHost(this);
  SetDialogService(&dialogs_);
  SetGraphicsSurface(pictureArea_);
  SetInformationWindow(informationForm_);
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
  SetDialogService(nullptr);
  SetGraphicsSurface(nullptr);
  SetInformationWindow(nullptr);
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
  pictureArea_->Close();
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
  setProperty("leftPartWidth", graphicsSplitter_->widget(0)->width());
  helpWindow_->showLines(QStringList{name} + text.split(u'\r'), OffersUnprintableItem(name));
}
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
    setProperty("leftPartWidth", graphicsSplitter_->widget(0)->width());
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
  SetSecondPaneSize(gridsSplitter_, settings_.bottomPanelHeight, 50);
  SetSecondPaneSize(grids_, settings_.localPanelWidth, 30);
  arrangeToolBarRows();
}

void TForm_Interpretator::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  arrangeToolBarRows();
}

// The grids show their headers and one empty row, the status bar nothing.
void TForm_Interpretator::clearViews() {
  grids_->clear();
  for (QLabel* panel : panels_) panel->clear();
}


ElementInspector* TForm_Interpretator::elementInspector() {
  if (!inspector_) inspector_ = new ElementInspector(editor_, action(WindowAction::Step), this);
  return inspector_;
}

void TForm_Interpretator::openElementInspector() {
  ElementInspector* inspector = elementInspector();
  inspector->show();
  inspector->raise();
  if (!inspector->client() && inspector->isEnabled()) inspector->connectToBrowser();
}

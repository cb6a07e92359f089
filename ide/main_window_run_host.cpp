// The main window as the engine's run host: events between lines, the Pause key, the message
// and question boxes, the editor's marks, the grids and the status bar, the information window
// hidden when a run begins.
#include <QApplication>
#include <QMessageBox>

#include "engine/line_breaks.h"
#include "engine/engine_state.h"
#include "ide/information_form.h"
#include "ide/main_window.h"
#include "ide/marker_strip.h"
#include "ide/pause_key.h"
#include "ide/script_editor.h"
#include "ide/syntax_lexer.h"
#include "ide/variable_grids.h"

void TForm_Interpretator::ProcessEvents() {
  // The window is serviced at most every 15 ms: often enough to feel immediate, rarely enough
  // to keep long runs fast.
  if (eventsDue_.Due()) QApplication::processEvents();
}

bool TForm_Interpretator::PauseRequested() { return pauseKey_; }
// While a JavaScript evaluation blocks the event loop, key presses are not delivered: the
// watchdog reads the key's state from the X server instead.
bool TForm_Interpretator::PauseRequestedFromAnyThread() { return pauseKey_ || PauseKeyDownNow(); }
void TForm_Interpretator::DiscardPendingKeys() { pauseKey_ = false; }

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

void TForm_Interpretator::HideInterfaceWindow() { informationForm_->Hide(); }

void TForm_Interpretator::AutoRunFinished() { QTimer::singleShot(2000, this, &QWidget::close); }

void TForm_Interpretator::ExitProgram(int status) {
  closing_ = true;
  QTimer::singleShot(0, qApp, [status] { QApplication::exit(status); });
}


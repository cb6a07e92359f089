// CalcSession where the program was built without the LibreOffice SDK: nothing can attach,
// and every operation fails with the reason.
#include "automation/spreadsheet/calc_session.h"

#include "engine/messages.h"

struct CalcSession::Link {};

namespace {
[[noreturn]] void Unsupported() { throw CalcError{CalcSession::Unavailable()}; }
}  // namespace

CalcSession::CalcSession() = default;
CalcSession::~CalcSession() = default;

QString CalcSession::Unavailable() {
  return LanguageIndex() == 1
             ? QStringLiteral("Программа собрана без LibreOffice SDK (пакет libreoffice-dev): функции Excel недоступны.")
             : QStringLiteral("This program was built without the LibreOffice SDK (package libreoffice-dev): "
                              "the Excel functions are not available.");
}

bool CalcSession::attached() const { return false; }
void CalcSession::Start() { Unsupported(); }
bool CalcSession::AttachRunning() { Unsupported(); }
void CalcSession::Quit(bool) {}
void CalcSession::Detach() {}
void CalcSession::EndRunningProcess() {}
int CalcSession::documentCount() { Unsupported(); }
void CalcSession::AddDocument(const QString&) { Unsupported(); }
QString CalcSession::activeDocumentPath() { Unsupported(); }
bool CalcSession::visible() { Unsupported(); }
void CalcSession::setVisible(bool) { Unsupported(); }
void CalcSession::CloseActive(bool, const QString&) { Unsupported(); }
int CalcSession::sheetCount() { Unsupported(); }
QString CalcSession::sheetName(int) { Unsupported(); }
void CalcSession::SelectSheet(int) { Unsupported(); }
void CalcSession::SelectSheet(const QString&) { Unsupported(); }
void CalcSession::AddSheetBeforeActive() { Unsupported(); }
void CalcSession::RenameActiveSheet(const QString&) { Unsupported(); }
void CalcSession::SetNumber(int, int, double) { Unsupported(); }
void CalcSession::SetText(int, int, const QString&) { Unsupported(); }
void CalcSession::SetFormulaR1C1(int, int, const QString&) { Unsupported(); }
QString CalcSession::CellText(int, int) { Unsupported(); }
void CalcSession::WriteBlock(int, int, const CalcBlock&) { Unsupported(); }
void CalcSession::ProgramEnding() {}
CalcSession::SheetHold::SheetHold(CalcSession& session) : session_(session) {}
CalcSession::SheetHold::~SheetHold() = default;

CalcSession& Calc() {
  static CalcSession session;
  return session;
}

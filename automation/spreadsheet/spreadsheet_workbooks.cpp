// Excel_Open, Excel_Connect, Excel_SaveAndClose, Excel_CloseAndDiscard and the sheet functions.
#include <QDir>
#include <algorithm>
#include <QFileInfo>

#include "automation/spreadsheet/calc_session.h"
#include "automation/spreadsheet/spreadsheet_attach.h"
#include "automation/spreadsheet/spreadsheet_families.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kErrorBoxStyle = 0x10;  // OK button, error icon

// A new workbook based on `file` (an empty one when it is empty); a failure is shown in a box
// of its own, in Russian whatever the interface language.
bool OpenWorkbookFromTemplate(const QString& file) {
  try {
    Calc().AddDocument(file);
    return true;
  } catch (const CalcError& e) {
    Dialogs().ShowMessage(u"При попытке создания новой книги Excel произошла ошибка.\r["_s + e.text + u"]"_s,
                          u"Внимание"_s, kErrorBoxStyle);
    return false;
  }
}

QString FullPath(const QString& name) {
  return QDir::cleanPath(QDir::current().absoluteFilePath(QString(name).replace(u'\\', u'/')));
}

}  // namespace

// Always a new workbook: an existing file serves as its template.
void ExcelOpen(GeneralCall& call) {
  bool ok = false;
  const QString name = call.count() == 1 ? call.text(0) : QString();
  WorkbookName() = name.isEmpty() ? QString() : FullPath(name);
  try {
    Calc().Start();
    if (!WorkbookName().isEmpty() && QFileInfo(WorkbookName()).isFile()) {
      ok = OpenWorkbookFromTemplate(WorkbookName());
    } else {
      Calc().AddDocument({});
      WorkbookName().clear();
      ok = true;
    }
    if (ok) Calc().setVisible(true);
    else Calc().Quit(false);
  } catch (const CalcError&) {
    ok = false;
    try {
      Calc().Quit(false);
    } catch (const CalcError&) {
    }
    RemoveHiddenExcel();
  }
  call.setBool(ok);
}

// False also for an application that ran invisibly, although it is attached and shown.
void ExcelConnect(GeneralCall& call) {
  bool ok = true;
  try {
    if (!Calc().AttachRunning()) return call.setBool(false);
    RemoveHiddenExcel();
    if (!Calc().AttachRunning()) throw CalcError{};
    ok = Calc().visible();
    Calc().documentCount();
    Calc().setVisible(true);
    WorkbookName() = Calc().activeDocumentPath();
  } catch (const CalcError&) {
    ok = false;
    Calc().Quit();
  }
  call.setBool(ok);
}

void ExcelSaveAndClose(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  WorkbookName() = call.has(0) ? call.text(0) : QString();
  bool ok = false;
  if (!WorkbookName().isEmpty()) {
    try {
      Calc().CloseActive(true, WorkbookName());
      Calc().Quit();
      WorkbookName().clear();
      ok = true;
    } catch (const CalcError&) {
    }
  }
  call.setBool(ok);
}

// No message 224 here: without an application the result is simply false.
void ExcelCloseAndDiscard(GeneralCall& call) {
  bool ok = true;
  try {
    if (!Calc().attached()) throw CalcError{};
    Calc().CloseActive(false, {});
    Calc().Quit();
    WorkbookName().clear();
  } catch (const CalcError&) {
    ok = false;
  }
  call.setBool(ok);
}

// A sheet by name, or by number from 1; a number above the sheet count selects nothing.
void ExcelWorksheetsSelect(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  bool ok = true;
  try {
    const int count = Calc().sheetCount();
    if (call.arg(0).kind == wkString) {
      Calc().SelectSheet(call.text(0));
    } else if (call.arg(0).kind == wkFloat) {
      const qint64 n = call.integer(0);
      if (n <= count) Calc().SelectSheet(int(std::max<qint64>(n, 0)));  // 0 and below fail
    }
  } catch (const CalcError&) {
    ok = false;
  }
  call.setBool(ok);
}

// An existing sheet of that name (exact letter case) is selected, not added a second time.
void ExcelWorksheetsAdd(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  const QString name = call.count() == 1 ? call.text(0) : QString();
  bool ok = false;
  try {
    QString list = u";"_s;
    for (int n = 1, count = Calc().sheetCount(); n <= count; ++n) list += Calc().sheetName(n) + u';';
    if (!name.isEmpty() && list.contains(u';' + name + u';')) {
      try {
        Calc().SelectSheet(name);
        ok = true;
      } catch (const CalcError&) {
      }
    }
    if (!ok) {
      Calc().AddSheetBeforeActive();
      ok = true;
      if (!name.isEmpty()) Calc().RenameActiveSheet(name);
    }
  } catch (const CalcError&) {
    ok = false;
  }
  call.setBool(ok);
}

// CalcSession over the UNO C++ bridge (headers generated at build time by cppumaker).
#include "automation/spreadsheet/calc_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/AddressConvention.hpp>
#include <com/sun/star/sheet/FormulaLanguage.hpp>
#include <com/sun/star/sheet/FormulaMapGroup.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XFormulaOpCodeMapper.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XFormulaParser.hpp>
#include <com/sun/star/sheet/XFormulaTokens.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "automation/spreadsheet/calc_process.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/program_folder.h"

namespace uno = css::uno;
using rtl::OUString;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kConnectTimeoutMs = 60000;
constexpr int kProcessVisibleMs = 3000;  // by then a started soffice shows in /proc

OUString ToOu(const QString& s) { return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size()); }
QString FromOu(const OUString& s) { return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength()); }

QString Bilingual(const char16_t* en, const char16_t* ru) {
  return QString::fromUtf16(LanguageIndex() == 1 ? ru : en);
}

// Runs a UNO operation; its exceptions become CalcError with their own text.
template <class Operation>
auto Guarded(Operation operation) -> decltype(operation()) {
  try {
    return operation();
  } catch (const uno::Exception& e) {
    QString text = FromOu(e.Message).trimmed();
    if (text.isEmpty())
      text = Bilingual(u"LibreOffice Calc did not complete the operation (the connection may be lost).",
                       u"LibreOffice Calc не выполнил операцию (возможно, связь с ним потеряна).");
    throw CalcError{text};
  } catch (const cppu::BootstrapException& e) {
    throw CalcError{Bilingual(u"The UNO bridge to LibreOffice cannot start: ", u"Не запускается мост UNO к LibreOffice: ") +
                    FromOu(e.getMessage())};
  }
}

[[noreturn]] void Fail(const char16_t* en, const char16_t* ru) { throw CalcError{Bilingual(en, ru)}; }

css::beans::PropertyValue Property(const char* name, const uno::Any& value) {
  css::beans::PropertyValue p;
  p.Name = OUString::createFromAscii(name);
  p.Value = value;
  return p;
}

uno::Sequence<css::beans::PropertyValue> Properties(std::initializer_list<css::beans::PropertyValue> list) {
  uno::Sequence<css::beans::PropertyValue> properties(sal_Int32(list.size()));
  std::copy(list.begin(), list.end(), properties.getArray());
  return properties;
}

// The export filter that stores a document under a file name.
struct StoreFormat {
  QString extension, filter, options;
};
const StoreFormat kStoreFormats[] = {
    {u"xlsx"_s, u"Calc MS Excel 2007 XML"_s, {}},
    {u"xls"_s, u"MS Excel 97"_s, {}},
    {u"ods"_s, u"calc8"_s, {}},
    {u"csv"_s, u"Text - txt - csv (StarCalc)"_s, u"44,34,76,1"_s},  // comma, quote, UTF-8
};

const StoreFormat& FormatOf(const QString& path) {
  const QString extension = QFileInfo(path).suffix().toLower();
  for (const StoreFormat& f : kStoreFormats)
    if (f.extension == extension) return f;
  return kStoreFormats[0];  // any other name is stored as a workbook, as the spreadsheet does
}

// A script's file name ("\" or "/" separators, relative to the current folder) as a URL.
OUString FileUrl(const QString& name) {
  const QString path = QDir::current().absoluteFilePath(QDir::fromNativeSeparators(QString(name).replace(u'\\', u'/')));
  return ToOu(QUrl::fromLocalFile(QDir::cleanPath(path)).toString(QUrl::FullyEncoded));
}

// Days since 1899-12-30, the spreadsheet's day 0.
double SerialDay(const QDate& date) { return double(QDate(1899, 12, 30).daysTo(date)); }
double DayFraction(const QTime& time) { return time.msecsSinceStartOfDay() / 86400000.0; }

}  // namespace

struct CalcSession::Link {
  Reference<uno::XComponentContext> local;
  Reference<css::frame::XDesktop2> desktop;
  Reference<css::sheet::XSpreadsheetDocument> document;  // the active workbook
  bool attached = false;
  bool startedHeadless = false;

  Reference<uno::XComponentContext> LocalContext() {
    if (!local.is()) {
      const QString program = QFileInfo(QFileInfo(CalcProgram()).canonicalFilePath()).absolutePath();
      // The office's own UNO settings, with its API types for the calls to pass the bridge.
      if (qEnvironmentVariableIsEmpty("URE_MORE_TYPES"))
        qputenv("URE_MORE_TYPES", QUrl::fromLocalFile(program + u"/types/offapi.rdb"_s).toEncoded());
      local = cppu::defaultBootstrap_InitialComponentContext(ToOu(QUrl::fromLocalFile(program + u"/unorc"_s).toString()));
    }
    return local;
  }

  // Connects to the pipe; false when nothing listens there.
  bool Connect(const QString& pipe) {
    auto resolver = css::bridge::UnoUrlResolver::create(LocalContext());
    try {
      Reference<uno::XComponentContext> remote(
          resolver->resolve(ToOu(u"uno:pipe,name="_s + pipe + u";urp;StarOffice.ComponentContext"_s)), UNO_QUERY_THROW);
      desktop = css::frame::Desktop::create(remote);
    } catch (const css::connection::NoConnectException&) {
      return false;
    }
    attached = true;
    document.clear();
    return true;
  }

  Reference<css::frame::XDesktop2> Desktop() {
    if (!desktop.is()) Fail(u"LibreOffice Calc is no longer running.", u"LibreOffice Calc больше не работает.");
    return desktop;
  }

  // The spreadsheet documents the application has open.
  QList<Reference<css::sheet::XSpreadsheetDocument>> Documents() {
    QList<Reference<css::sheet::XSpreadsheetDocument>> found;
    auto components = Desktop()->getComponents()->createEnumeration();
    while (components->hasMoreElements()) {
      Reference<css::sheet::XSpreadsheetDocument> d(components->nextElement(), UNO_QUERY);
      if (d.is()) found << d;
    }
    return found;
  }

  Reference<css::sheet::XSpreadsheetDocument> Document() {
    if (!document.is()) {
      document.set(Desktop()->getCurrentComponent(), UNO_QUERY);
      if (!document.is()) {
        const auto all = Documents();
        if (!all.isEmpty()) document = all.first();
      }
    }
    if (!document.is()) Fail(u"LibreOffice Calc has no open workbook.", u"В LibreOffice Calc нет открытой книги.");
    return document;
  }

  Reference<css::sheet::XSpreadsheetView> View() {
    Reference<css::frame::XModel> model(Document(), UNO_QUERY_THROW);
    Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY);
    if (!view.is()) Fail(u"The workbook has no view.", u"У книги нет окна просмотра.");
    return view;
  }

  Reference<css::awt::XWindow2> Window() {
    Reference<css::frame::XModel> model(Document(), UNO_QUERY_THROW);
    auto controller = model->getCurrentController();
    if (!controller.is()) return {};
    return Reference<css::awt::XWindow2>(controller->getFrame()->getContainerWindow(), UNO_QUERY);
  }

  Reference<css::container::XIndexAccess> Sheets() {
    return Reference<css::container::XIndexAccess>(Document()->getSheets(), UNO_QUERY_THROW);
  }

  Reference<css::sheet::XSpreadsheet> heldSheet;  // see SheetHold
  int holds = 0;

  Reference<css::sheet::XSpreadsheet> ActiveSheet() { return heldSheet.is() ? heldSheet : View()->getActiveSheet(); }

  Reference<css::table::XCell> Cell(int row, int col) {
    if (row < 1 || col < 1) Fail(u"Rows and columns are counted from 1.", u"Строки и столбцы нумеруются с 1.");
    return ActiveSheet()->getCellByPosition(col - 1, row - 1);
  }

  void SetFormat(const Reference<css::table::XCell>& cell, sal_Int16 type) {
    Reference<css::util::XNumberFormatsSupplier> supplier(Document(), UNO_QUERY_THROW);
    Reference<css::util::XNumberFormatTypes> types(supplier->getNumberFormats(), UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
        ->setPropertyValue(OUString("NumberFormat"), uno::Any(types->getStandardFormat(type, css::lang::Locale())));
  }
};

CalcSession::CalcSession() : link_(std::make_unique<Link>()) {}
CalcSession::~CalcSession() = default;

QString CalcSession::Unavailable() {
  if (CalcProgram().isEmpty())
    return Bilingual(u"LibreOffice Calc is not installed: install the package libreoffice-calc to use the Excel functions.",
                     u"LibreOffice Calc не установлен: для функций Excel установите пакет libreoffice-calc.");
  return {};
}

bool CalcSession::attached() const { return link_->attached; }

void CalcSession::Start() {
  Guarded([&] {
    const QString pipe = CalcPipeName();
    if (link_->Connect(pipe)) return;
    const QString profile = ProgramFolder() + u"Temp/calc_profile_"_s + pipe;
    const bool headless = CalcMustBeHeadless();
    QString error;
    if (!StartCalcProcess(pipe, profile, headless, error)) throw CalcError{error};
    QElapsedTimer timer;
    timer.start();
    while (!link_->Connect(pipe)) {
      if (timer.elapsed() > kProcessVisibleMs && ProcessesAcceptingPipe(pipe).isEmpty())
        Fail(u"LibreOffice Calc ended right after its start.", u"LibreOffice Calc завершился сразу после запуска.");
      if (timer.elapsed() > kConnectTimeoutMs) {
        EndProcessesAcceptingPipe(pipe);
        Fail(u"LibreOffice Calc started but does not accept connections.",
             u"LibreOffice Calc запущен, но не принимает соединения.");
      }
      QThread::msleep(100);
    }
    link_->startedHeadless = headless;
  });
}

bool CalcSession::AttachRunning() {
  return Guarded([&] { return link_->Connect(CalcPipeName()); });
}

void CalcSession::Quit(bool detach) {
  Reference<css::frame::XDesktop2> desktop = link_->desktop;
  link_->desktop.clear();
  link_->document.clear();
  link_->attached = !detach;
  link_->startedHeadless = false;
  try {
    if (desktop.is()) desktop->terminate();
  } catch (const uno::Exception&) {
    // The bridge breaks while the application goes away; the process is ended below anyway.
  }
  EndRunningProcess();
}

void CalcSession::Detach() {
  link_->desktop.clear();
  link_->document.clear();
  link_->attached = false;
  link_->startedHeadless = false;
}

void CalcSession::EndRunningProcess() {
  // Terminating takes a moment; what is left after it is ended.
  QElapsedTimer timer;
  timer.start();
  while (!ProcessesAcceptingPipe(CalcPipeName()).isEmpty() && timer.elapsed() < 3000) QThread::msleep(50);
  EndProcessesAcceptingPipe(CalcPipeName());
}

int CalcSession::documentCount() {
  return Guarded([&] { return int(link_->Documents().size()); });
}

void CalcSession::AddDocument(const QString& templatePath) {
  Guarded([&] {
    Reference<css::frame::XComponentLoader> loader(link_->Desktop(), UNO_QUERY_THROW);
    const bool empty = templatePath.isEmpty();
    // A windowless office keeps its documents hidden: it has no screen to show them on.
    const auto args = Properties({Property("AsTemplate", uno::Any(!empty)), Property("Hidden", uno::Any(CalcMustBeHeadless()))});
    const OUString url = empty ? OUString("private:factory/scalc") : FileUrl(templatePath);
    Reference<css::lang::XComponent> loaded = loader->loadComponentFromURL(url, OUString("_blank"), 0, args);
    Reference<css::sheet::XSpreadsheetDocument> d(loaded, UNO_QUERY);
    if (!d.is()) {
      // Another kind of document (a text file opens as one) is not left behind.
      if (Reference<css::util::XCloseable> other(loaded, UNO_QUERY); other.is()) other->close(true);
      Fail(u"The file is not a spreadsheet.", u"Файл не является электронной таблицей.");
    }
    link_->document = d;
  });
}

QString CalcSession::activeDocumentPath() {
  return Guarded([&] {
    const QString url = FromOu(Reference<css::frame::XModel>(link_->Document(), UNO_QUERY_THROW)->getURL());
    return url.isEmpty() ? QString() : QUrl(url).toLocalFile();
  });
}

bool CalcSession::visible() {
  return Guarded([&] {
    if (CalcMustBeHeadless() || link_->Documents().isEmpty()) return false;
    auto window = link_->Window();
    return window.is() && window->isVisible();
  });
}

void CalcSession::setVisible(bool visible) {
  Guarded([&] {
    // A windowless office cannot show a window (and fails when asked to).
    if (CalcMustBeHeadless() || link_->Documents().isEmpty()) return;
    if (auto window = link_->Window(); window.is()) window->setVisible(visible);
  });
}

void CalcSession::CloseActive(bool save, const QString& fileName) {
  Guarded([&] {
    auto document = link_->Document();
    if (save) {
      const StoreFormat& format = FormatOf(fileName);
      const auto args = Properties({Property("FilterName", uno::Any(ToOu(format.filter))),
                                    Property("FilterOptions", uno::Any(ToOu(format.options))),
                                    Property("Overwrite", uno::Any(true))});
      Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(FileUrl(fileName), args);
    }
    link_->document.clear();
    Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
  });
}

int CalcSession::sheetCount() {
  return Guarded([&] { return int(link_->Sheets()->getCount()); });
}

QString CalcSession::sheetName(int number) {
  return Guarded([&] {
    Reference<css::container::XNamed> sheet(link_->Sheets()->getByIndex(number - 1), UNO_QUERY_THROW);
    return FromOu(sheet->getName());
  });
}

void CalcSession::SelectSheet(int number) {
  Guarded([&] {
    Reference<css::sheet::XSpreadsheet> sheet(link_->Sheets()->getByIndex(number - 1), UNO_QUERY_THROW);
    link_->View()->setActiveSheet(sheet);
  });
}

void CalcSession::SelectSheet(const QString& name) {
  Guarded([&] {
    Reference<css::sheet::XSpreadsheet> sheet(link_->Document()->getSheets()->getByName(ToOu(name)), UNO_QUERY_THROW);
    link_->View()->setActiveSheet(sheet);
  });
}

void CalcSession::AddSheetBeforeActive() {
  Guarded([&] {
    auto sheets = link_->Document()->getSheets();
    Reference<css::sheet::XCellRangeAddressable> active(link_->ActiveSheet(), UNO_QUERY_THROW);
    const sal_Int16 position = active->getRangeAddress().Sheet;
    // The application's default name: "Sheet" and the first free number from the count on.
    int n = int(Reference<css::container::XIndexAccess>(sheets, UNO_QUERY_THROW)->getCount()) + 1;
    while (sheets->hasByName(ToOu(u"Sheet"_s + QString::number(n)))) ++n;
    const OUString name = ToOu(u"Sheet"_s + QString::number(n));
    sheets->insertNewByName(name, position);
    link_->View()->setActiveSheet(Reference<css::sheet::XSpreadsheet>(sheets->getByName(name), UNO_QUERY_THROW));
  });
}

void CalcSession::RenameActiveSheet(const QString& name) {
  Guarded([&] { Reference<css::container::XNamed>(link_->ActiveSheet(), UNO_QUERY_THROW)->setName(ToOu(name)); });
}

void CalcSession::SetNumber(int row, int col, double value) {
  Guarded([&] { link_->Cell(row, col)->setValue(value); });
}

void CalcSession::SetText(int row, int col, const QString& text) {
  Guarded([&] { Reference<css::text::XText>(link_->Cell(row, col), UNO_QUERY_THROW)->setString(ToOu(text)); });
}

void CalcSession::SetFormulaR1C1(int row, int col, const QString& formula) {
  Guarded([&] {
    auto cell = link_->Cell(row, col);
    Reference<css::lang::XMultiServiceFactory> factory(link_->Document(), UNO_QUERY_THROW);
    Reference<css::sheet::XFormulaParser> parser(factory->createInstance(OUString("com.sun.star.sheet.FormulaParser")),
                                                 UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> options(parser, UNO_QUERY_THROW);
    // Function names and the "," separator as the English Excel writes them.
    Reference<css::sheet::XFormulaOpCodeMapper> names(
        factory->createInstance(OUString("com.sun.star.sheet.FormulaOpCodeMapper")), UNO_QUERY_THROW);
    options->setPropertyValue(OUString("CompileEnglish"), uno::Any(true));
    options->setPropertyValue(OUString("OpCodeMap"), uno::Any(names->getAvailableMappings(
                                                         css::sheet::FormulaLanguage::XL_ENGLISH,
                                                         css::sheet::FormulaMapGroup::ALL_EXCEPT_SPECIAL)));
    options->setPropertyValue(OUString("FormulaConvention"), uno::Any(css::sheet::AddressConvention::XL_R1C1));
    Reference<css::sheet::XCellRangeAddressable> sheet(link_->ActiveSheet(), UNO_QUERY_THROW);
    const css::table::CellAddress at(sheet->getRangeAddress().Sheet, col - 1, row - 1);
    Reference<css::sheet::XFormulaTokens>(cell, UNO_QUERY_THROW)->setTokens(parser->parseFormula(ToOu(formula), at));
  });
}

QString CalcSession::CellText(int row, int col) {
  return Guarded([&] {
    auto cell = link_->Cell(row, col);
    switch (cell->getType()) {
      case css::table::CellContentType_EMPTY: return QString();
      case css::table::CellContentType_VALUE: return NumberText(cell->getValue());
      case css::table::CellContentType_FORMULA: {
        sal_Int32 kind = 0;
        Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValue(OUString("FormulaResultType2")) >>= kind;
        if (kind == css::sheet::FormulaResult::VALUE) return NumberText(cell->getValue());
        break;
      }
      default: break;
    }
    return FromOu(Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString());
  });
}

CalcSession::SheetHold::SheetHold(CalcSession& session) : session_(session) {
  Link& link = *session_.link_;
  if (link.holds++ == 0) {
    try {
      link.heldSheet = link.ActiveSheet();
    } catch (const uno::Exception&) {
      // Nothing held: each cell operation asks and reports the failure itself.
    } catch (const CalcError&) {
    }
  }
}

CalcSession::SheetHold::~SheetHold() {
  if (--session_.link_->holds == 0) session_.link_->heldSheet.clear();
}

void CalcSession::WriteBlock(int row, int col, const CalcBlock& block) {
  const SheetHold hold(*this);
  Guarded([&] {
    for (int r = 0; r < block.size(); ++r)
      for (int c = 0; c < block[r].size(); ++c) {
        const CalcCell& value = block[r][c];
        if (std::holds_alternative<std::monostate>(value)) continue;
        auto cell = link_->Cell(row + r, col + c);
        if (auto* text = std::get_if<QString>(&value)) {
          Reference<css::text::XText>(cell, UNO_QUERY_THROW)->setString(ToOu(*text));
        } else if (auto* number = std::get_if<double>(&value)) {
          cell->setValue(*number);
        } else if (auto* truth = std::get_if<bool>(&value)) {
          cell->setValue(*truth ? 1 : 0);
          link_->SetFormat(cell, css::util::NumberFormat::LOGICAL);
        } else if (auto* date = std::get_if<QDate>(&value)) {
          cell->setValue(SerialDay(*date));
          link_->SetFormat(cell, css::util::NumberFormat::DATE);
        } else if (auto* time = std::get_if<QTime>(&value)) {
          cell->setValue(DayFraction(*time));
          link_->SetFormat(cell, css::util::NumberFormat::TIME);
        } else if (auto* moment = std::get_if<QDateTime>(&value)) {
          cell->setValue(SerialDay(moment->date()) + DayFraction(moment->time()));
          link_->SetFormat(cell, css::util::NumberFormat::DATETIME);
        }
      }
  });
}

void CalcSession::ProgramEnding() {
  if (link_->startedHeadless) Quit();
}

CalcSession& Calc() {
  static CalcSession session;
  return session;
}

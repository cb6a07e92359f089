#include "app/console_mode.h"

#include <QFileInfo>
#include <cstdio>

#include "app/command_line.h"
#include "app/console_dialogs.h"
#include "app/console_host.h"
#include "app/console_information.h"
#include "app/console_output.h"
#include "app/console_surface.h"
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/run_control.h"
#include "engine/script_files.h"
#include "engine/script_loading.h"
#include "engine/statements.h"
#include "engine/variable_view.h"
#include "app/unit_list.h"
#include "engine/function_units.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct Options {
  bool dump = false;
  QString picture;
  QSize canvas = ConsoleSurface::kDefaultSize;
  QString script;
  QStringList parameters;
};

// Returns an empty text when the options read, else what is wrong.
QString ParseOptions(const QStringList& args, Options& o) {
  int i = 0;
  for (; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == u"--console"_s) continue;
    if (a == u"--dump"_s) {
      o.dump = true;
    } else if (a == u"--lang"_s || a == u"--picture"_s || a == u"--canvas"_s) {
      if (++i >= args.size()) return a + u" needs a value"_s;
      if (a == u"--picture"_s) {
        o.picture = args[i];
      } else if (a == u"--canvas"_s) {
        if (!ConsoleSurface::ParseSize(args[i], o.canvas))
          return u"--canvas takes WxH, each side from 1 to %1"_s.arg(ConsoleSurface::kMaxSide);
      } else if (args[i] == u"en"_s || args[i] == u"ru"_s) {
        SetLanguageIndex(args[i] == u"ru"_s ? 1 : 0);
      } else {
        return u"--lang takes en or ru"_s;
      }
    } else if (a.startsWith(u"--"_s)) {
      return u"unknown option "_s + a;
    } else {
      break;
    }
  }
  if (i >= args.size()) return u"no script given"_s;
  o.script = args[i];
  o.parameters = args.mid(i + 1);
  return {};
}

// A name or cell of the dump, escaped a piece at a time; the out-of-memory text where memory
// ran out. False then.
bool WriteDumpText(QStringView text) {
  if (WriteInPieces(stdout, text, [](QStringView piece) {
        return EscapeDumpText(piece.toString()).toUtf8();
      }))
    return true;
  std::fputs(OutOfMemoryCellText().toUtf8().constData(), stdout);
  return false;
}

// The global view, one row at a time, each written before the next is made. A row whose cell
// could not be made for want of memory shows the out-of-memory text, and the rows after it are
// still written. False when that happened to any row.
bool WriteDump() {
  bool complete = true;
  try {
    VisitGlobalViewRows([&](const ViewRow& row) {
      complete = WriteDumpText(row.name) && complete;
      std::fputc('\t', stdout);
      complete = WriteDumpText(row.value) && !row.outOfMemory && complete;
      std::fputc('\n', stdout);
    });
  } catch (const std::bad_alloc&) {
    complete = false;
  }
  std::fflush(stdout);
  return complete;
}

// The dialogs, the graphics surface and the information window of console mode, installed
// for as long as it lives.
class ConsoleServices {
 public:
  explicit ConsoleServices(QSize canvas) : surface_(canvas) {
    SetDialogService(&dialogs_);
    SetGraphicsSurface(&surface_);
    SetInformationWindow(&information_);
  }
  ~ConsoleServices() {
    SetDialogService(nullptr);
    SetGraphicsSurface(nullptr);
    SetInformationWindow(nullptr);
  }
  ConsoleServices(const ConsoleServices&) = delete;
  ConsoleServices& operator=(const ConsoleServices&) = delete;

  // --picture: what the graphics area shows, layer 2 over layer 1, as a PNG file; false
  // (with the reason on stderr) when it cannot be written.
  bool WritePicture(const QString& path) const {
    if (surface_.Composed().save(path, "PNG")) return true;
    std::fprintf(stderr, "tressaly: --picture: cannot write %s\n", path.toUtf8().constData());
    return false;
  }

 private:
  ConsoleDialogs dialogs_;
  ConsoleSurface surface_;
  ConsoleInformationWindow information_;
};

}  // namespace

QString EscapeDumpText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text) {
    switch (c.unicode()) {
      case '\r': out += u"\\r"_s; break;
      case '\n': out += u"\\n"_s; break;
      case '\t': out += u"\\t"_s; break;
      case '\\': out += u"\\\\"_s; break;
      default: out += c;
    }
  }
  return out;
}

int RunConsoleMode(const QStringList& args) {
  InstallInterruptHandler();
  Options o;
  if (const QString problem = ParseOptions(args, o); !problem.isEmpty()) return ReportUsageError(problem);

  QString path = o.script;
  if (!QFileInfo(path).isFile()) path = ResolveScriptName(o.script);
  if (!QFileInfo(path).isFile()) {
    std::fprintf(stderr, "tressaly: script not found: %s\n", o.script.toUtf8().constData());
    return 2;
  }

  RegisterUnits();
  ConsoleHost host;
  SetRunHost(&host);
  const ConsoleServices services(o.canvas);
  SetCommandLineParameters(QStringList{o.script} + o.parameters);
  DefineCommandLineArray();
  LoadScript(QFileInfo(path).absoluteFilePath());
  if (!host.errorShown()) A_StartExecute(RunInitiator::Start);
  const bool dumpComplete = !o.dump || WriteDump();
  if (!dumpComplete)
    std::fprintf(stderr, "%s\n", MessageText(msg::kNotEnoughMemory).toUtf8().constData());
  const bool pictureWritten = o.picture.isEmpty() || services.WritePicture(o.picture);
  NotifyProgramEnding();
  SetRunHost(nullptr);
  if (host.interrupted()) return 130;
  return host.errorShown() || !dumpComplete || !pictureWritten ? 1 : 0;
}

#include "app/console_mode.h"

#include <QFileInfo>
#include <cstdio>

#include "app/console_host.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/run_control.h"
#include "engine/script_files.h"
#include "engine/script_loading.h"
#include "engine/statements.h"
#include "engine/variable_view.h"
#include "functions/described_unit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr const char* kUsage =
    "usage: tressaly --console [--dump] [--lang en|ru] [--picture FILE.png] SCRIPT [PARAM...]\n";

int UsageError(const QString& detail) {
  std::fprintf(stderr, "tressaly: %s\n%s", detail.toUtf8().constData(), kUsage);
  return 2;
}

struct Options {
  bool dump = false;
  QString picture;
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
    } else if (a == u"--lang"_s || a == u"--picture"_s) {
      if (++i >= args.size()) return a + u" needs a value"_s;
      if (a == u"--picture"_s) {
        o.picture = args[i];
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

void WriteDump() {
  for (const ViewRow& row : GlobalViewRows()) {
    const QByteArray line = (EscapeDumpText(row.name) + u'\t' + EscapeDumpText(row.value) + u'\n').toUtf8();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
  }
  std::fflush(stdout);
}

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
  if (const QString problem = ParseOptions(args, o); !problem.isEmpty()) return UsageError(problem);
  if (!o.picture.isEmpty())
    return UsageError(u"--picture: the graphics area is not part of this build yet"_s);

  QString path = o.script;
  if (!QFileInfo(path).isFile()) path = ResolveScriptName(o.script);
  if (!QFileInfo(path).isFile()) {
    std::fprintf(stderr, "tressaly: script not found: %s\n", o.script.toUtf8().constData());
    return 2;
  }

  RegisterFunctionLibrary();
  ConsoleHost host;
  SetRunHost(&host);
  SetCommandLineParameters(QStringList{o.script} + o.parameters);
  DefineCommandLineArray();
  LoadScript(QFileInfo(path).absoluteFilePath());
  if (!host.errorShown()) A_StartExecute(RunInitiator::Start);
  if (o.dump) WriteDump();
  SetRunHost(nullptr);
  if (host.interrupted()) return 130;
  return host.errorShown() ? 1 : 0;
}

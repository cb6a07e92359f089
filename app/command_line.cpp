#include "app/command_line.h"

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

struct OptionRule {
  const char16_t* name;
  bool takesValue;
  bool consoleOnly;  // means nothing to the window
};

// The options the program knows. console_mode.cpp checks the values; here they are only skipped.
constexpr OptionRule kOptions[] = {
    {u"--console", false, false}, {u"--dump", false, true},    {u"--lang", true, true},
    {u"--canvas", true, true},    {u"--picture", true, true},  {u"--help", false, false},
    {u"--version", false, false},
};

const OptionRule* FindOption(const QString& word) {
  for (const OptionRule& rule : kOptions)
    if (word == QStringView(rule.name)) return &rule;
  return nullptr;
}

}  // namespace

StartChoice ChooseStart(const QStringList& args) {
  bool help = false, version = false;
  QString consoleOption;  // the first option that needs console mode
  for (int i = 0; i < args.size() && args[i].startsWith(u"--"_s); ++i) {
    const OptionRule* rule = FindOption(args[i]);
    if (!rule) return {StartKind::UsageError, u"unknown option "_s + args[i]};
    help = help || args[i] == u"--help"_s;
    version = version || args[i] == u"--version"_s;
    if (rule->consoleOnly && consoleOption.isEmpty()) consoleOption = args[i];
    if (rule->takesValue) ++i;
  }
  if (help) return {StartKind::Help, {}};
  if (version) return {StartKind::Version, {}};
  if (args.contains(u"--console"_s)) return {StartKind::Console, {}};
  if (!consoleOption.isEmpty()) return {StartKind::UsageError, consoleOption + u" works only with --console"_s};
  return {StartKind::Window, {}};
}

QString UsageText() {
  return uR"(usage: tressaly [SCRIPT [PARAM...]]
       tressaly --console [--dump] [--lang en|ru] [--canvas WxH] [--picture FILE.png] SCRIPT [PARAM...]
       tressaly --help | --version

Without --console the development window opens and loads SCRIPT (a bare name is looked up in
the Scripts folder; without any parameter, AutoStart.txt). Every parameter reaches the script in
the array cmdLineParams. Switches among the parameters:
  /R   run the script at once and close the program after it ends cleanly
  /F   open the window maximised
  /M   open the window minimised

Console mode runs SCRIPT without any window:
  --dump              after the run, print the global variables (name, TAB, value)
  --lang en|ru        the language of the messages
  --canvas WxH        the size of the virtual graphics area (default 800x600)
  --picture FILE.png  after the run, write what the graphics area shows
Dialogs read their answers from stdin, one line each; end of input means Cancel.
Exit status: 0 clean end, 1 stopped by an error, 2 usage error or script not found,
130 interrupted by Ctrl+C.

The program folder (scripts, pictures, settings) is $TRESSALY_HOME when set, the program's
own folder when a Scripts folder stands beside it, else ~/.local/share/Tressaly.
)"_s;
}

QString VersionText() {
  return u"tressaly "_s + QStringLiteral(TRESSALY_VERSION) + u'\n';
}

int ReportUsageError(const QString& problem) {
  std::fprintf(stderr, "tressaly: %s\n%s", problem.toUtf8().constData(), UsageText().toUtf8().constData());
  return 2;
}

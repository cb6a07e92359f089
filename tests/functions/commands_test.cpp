#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "automation/exec_command.h"
#include "function_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class CommandTest : public FunctionTest {
 protected:
  // Milliseconds the line took to run.
  qint64 Timed(const QString& line) {
    QElapsedTimer clock;
    clock.start();
    Run({line});
    return clock.elapsed();
  }
};

TEST_F(CommandTest, ShellBuiltInsRunThroughTheShell) {
  EXPECT_EQ(Eval(u"OS_ExecCommand('echo hello')"_s), u"hello\n"_s);
  EXPECT_EQ(KindOf(u"x"_s), wkString);
  EXPECT_EQ(Eval(u"ExecCommand('cd /tmp && pwd')"_s), u"/tmp\n"_s);
  EXPECT_EQ(Eval(u"OS_ExecCommand('export TRESSALY_PROBE=42; echo \"[$TRESSALY_PROBE]\"')"_s),
            u"[42]\n"_s);
  EXPECT_EQ(Eval(u"OS_ExecCommand('  echo  spaced   words ')"_s), u"spaced words\n"_s);
}

TEST_F(CommandTest, OtherProgramsStartDirectlyWithoutShellSyntax) {
  EXPECT_EQ(Eval(u"OS_ExecCommand('/bin/echo $HOME   &&  b')"_s), u"$HOME && b\n"_s);
  EXPECT_EQ(Eval(u"OS_ExecCommand('printf \"%s|%s\" \"a b\" c')"_s), u"a b|c"_s);
  EXPECT_EQ(Eval(u"OS_ExecCommand('\"/bin/echo\" quoted program')"_s), u"quoted program\n"_s);
}

TEST_F(CommandTest, ErrorOutputAndExitCodesDoNotFailTheCall) {
  EXPECT_EQ(Eval(u"OS_ExecCommand('echo out; echo err 1>&2; exit 3')"_s), u"out\nerr\n"_s);
  EXPECT_TRUE(host.errors.isEmpty());
  const QString listing = Eval(u"OS_ExecCommand('ls /tressaly-no-such-dir')"_s);
  EXPECT_TRUE(listing.contains(u"tressaly-no-such-dir"_s)) << listing.toStdString();
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(CommandTest, MissingProgramStopsWithTheStartError) {
  EXPECT_EQ(Run({u"x = OS_ExecCommand('tressaly-no-such-program --flag')"_s}),
            ErrorAt(0, 206, {ENOENT}));
  EXPECT_EQ(Run({u"x = OS_ExecCommand('   ')"_s}), ErrorAt(0, 206, {ENOENT}));
  QTemporaryDir dir;
  QFile data(dir.filePath(u"data.txt"_s));
  ASSERT_TRUE(data.open(QIODevice::WriteOnly));
  data.close();
  data.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(Run({u"x = OS_ExecCommand('"_s + data.fileName() + u"')"_s}),
            ErrorAt(0, 206, {EACCES}));
}

TEST_F(CommandTest, NegativeNumbersAreRejected) {
  EXPECT_EQ(Run({u"x = OS_ExecCommand('echo a', 1, 1, '', -5)"_s}),
            ErrorAt(0, 118, {u"OS_ExecCommand"_s, u"-5"_s}));
}

TEST_F(CommandTest, TimeoutKillsTheProgramAndKeepsItsEarlyOutput) {
  EXPECT_LT(Timed(u"x = OS_ExecCommand('sleep 5', 1, 1, '', 150)"_s), 2000);
  EXPECT_TRUE(host.errors.isEmpty());
  EXPECT_EQ(Value(u"x"_s), u""_s);
  // Through the shell: its child dies with it, so the pipe closes.
  EXPECT_LT(Timed(u"x = OS_ExecCommand('echo early; sleep 5; echo late', 1, 1, '', 200)"_s), 2000);
  EXPECT_EQ(Value(u"x"_s), u"early\n"_s);
  // A timeout longer than the program's run does not delay it.
  EXPECT_LT(Timed(u"x = OS_ExecCommand('/bin/echo quick', 1, 1, '', 4000)"_s), 2000);
  EXPECT_EQ(Value(u"x"_s), u"quick\n"_s);
}

TEST_F(CommandTest, PauseEndsAWaitWithoutLimit) {
  host.pauseAfterSteps = 1;
  EXPECT_LT(Timed(u"x = OS_ExecCommand('sleep 5')"_s), 2000);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(CommandTest, OutputThatIsNotUtf8UsesTheAnsiCodePage) {
  EXPECT_EQ(Eval(u"OS_ExecCommand('printf \"caf\\351 \\342\\202\\254\"')"_s), u"café €"_s);
  // Valid sequences stay UTF-8 even beside a stray byte.
  EXPECT_EQ(Eval(u"OS_ExecCommand('printf \"\\303\\251\\351\"')"_s), u"éé"_s);
  SetLanguageIndex(1);
  EXPECT_EQ(Eval(u"OS_ExecCommand('printf \"\\351\\362\"')"_s), u"йт"_s);
}

TEST_F(CommandTest, DecodingKeepsEveryByte) {
  // Truncated, overlong and surrogate sequences are single bytes of the code page.
  EXPECT_EQ(DecodeConsoleOutput("a\xC3"), u"aÃ"_s);
  EXPECT_EQ(DecodeConsoleOutput("\xC0\x80x"), u"À€x"_s);
  EXPECT_EQ(DecodeConsoleOutput("\xED\xA0\x80\xFF"), u"í\u00A0€ÿ"_s);
  EXPECT_EQ(DecodeConsoleOutput("\xF0\x9F\x98\x80\x81"), u"\U0001F600\u0081"_s);
  EXPECT_EQ(DecodeConsoleOutput(QByteArray("a\0b", 3)).size(), 3);
}

TEST_F(CommandTest, HugeOutputIsCut) {
  QString output;
  ExecCommand(u"head -c 17000000 /dev/zero"_s, 1, true, output, 9999, 9999, 0, QString());
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  EXPECT_EQ(output.size(), kMaxCommandOutputBytes);
}

TEST_F(CommandTest, ProgramsNotWaitedForReturnAtOnce) {
  EXPECT_LT(Timed(u"x = OS_ExecCommand('sleep 5', 1, 0)"_s), 1000);
  EXPECT_EQ(Value(u"x"_s), u""_s);
  const qint64 pid = LastProcessId();
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid_t(pid), SIGKILL), 0);  // still running: it was not waited for

  // With a class name the result is the handle of the window searched after the wait.
  EXPECT_EQ(Eval(u"OS_ExecCommand('/bin/true', 1, 0, 'XTerm', 50)"_s), u"0"_s);
  EXPECT_EQ(Eval(u"OS_ExecCommand('/bin/echo text', 1, 1, 'XTerm', 300, 5, 5)"_s), u"0text\n"_s);
}

TEST_F(CommandTest, CommandFilesStartWithTheShellAndAreNotWaitedFor) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct CurrentFolder {
    const QString before = QDir::currentPath();
    ~CurrentFolder() { QDir::setCurrent(before); }
  } restore;
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  QFile script(dir.filePath(u"make_mark.sh"_s));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("echo \"$1\" > mark.txt\n");
  script.close();

  EXPECT_EQ(Run({u"x = OS_ExecCommand('make_mark.sh ran', 0)"_s}), u""_s);
  EXPECT_EQ(Value(u"x"_s), u""_s);
  QFile mark(dir.filePath(u"mark.txt"_s));
  for (int i = 0; i < 200 && mark.size() == 0; ++i) QThread::msleep(10);
  ASSERT_TRUE(mark.open(QIODevice::ReadOnly));
  EXPECT_EQ(mark.readAll(), "ran\n");

  EXPECT_EQ(Run({u"x = OS_ExecCommand('missing.cmd')"_s}), ErrorAt(0, 192));
}

TEST_F(CommandTest, ShellBuiltInRecognition) {
  EXPECT_TRUE(IsShellBuiltIn(u"cd /tmp"_s));
  EXPECT_TRUE(IsShellBuiltIn(u"\tExport A=1"_s));
  EXPECT_TRUE(IsShellBuiltIn(u"dir"_s));
  EXPECT_TRUE(IsShellBuiltIn(u"\"ping\" -c 1 127.0.0.1"_s));
  EXPECT_TRUE(IsShellBuiltIn(u"echo\tx"_s));
  EXPECT_FALSE(IsShellBuiltIn(u"printf x"_s));
  EXPECT_FALSE(IsShellBuiltIn(u"/bin/echo x"_s));
  EXPECT_FALSE(IsShellBuiltIn(u"echoes x"_s));
  EXPECT_FALSE(IsShellBuiltIn(u"it's"_s));
  EXPECT_TRUE(Engine().ErrorText.isEmpty());  // the reader's complaints are not errors here
}

}  // namespace

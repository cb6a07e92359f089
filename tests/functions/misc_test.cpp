// Sleep, Check, Exists, Json_FindValue, base64 texts, Play_Sound, Exit and Eval.
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "engine/program_folder.h"
#include "function_fixture.h"
#include "functions/sound_player.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Records the questions, the Exit requests and the run-time display, and answers the Pause
// key and the questions as a test sets them.
class MiscHost : public RecordingHost {
 public:
  QStringList questions;
  bool answerYes = false;
  bool pauseHeld = false;
  QList<int> exits;
  int timeShown = 0;  // status-bar updates of the run time

  bool AskQuestion(const QString& text) override {
    questions.append(text);
    return answerYes;
  }
  bool PauseRequested() override { return pauseHeld; }
  void ExitProgram(int status) override { exits.append(status); }
  void SetStatusText(int panel, const QString& text) override {
    if (panel == 5 && text.startsWith(u"time "_s)) ++timeShown;
  }
};

// The error a text outside the catalogue gives on a line.
QString TextErrorAt(int line, const QString& text) {
  return text + u"\r\r"_s + MessageText(2, {line});
}

}  // namespace

class MiscFunctions : public FunctionTest {
 protected:
  MiscHost misc;

  void SetUp() override {
    FunctionTest::SetUp();
    SetRunHost(&misc);
  }
  // Runs the lines with the recording host above; returns the error box text or "".
  QString RunMisc(const QStringList& lines) {
    Load(lines);
    A_StartExecute(RunInitiator::Start);
    return misc.errors.isEmpty() ? QString() : misc.errors.last();
  }
  // Milliseconds that running the lines took.
  qint64 TimedRun(const QStringList& lines) {
    QElapsedTimer timer;
    timer.start();
    RunMisc(lines);
    return timer.elapsed();
  }
};

// ---- Sleep --------------------------------------------------------------------------------------

// The run shows the run time too when it refreshes the views after a Sleep line; the chunks
// of a wait are the updates beyond those of a Sleep(0) run.
TEST_F(MiscFunctions, SleepWaitsInEqualChunksOfAtMostOneSecond) {
  RunMisc({u"Sleep(0)"_s, u"y = 1"_s});
  const int baseline = misc.timeShown;
  EXPECT_GT(misc.marks, 0);
  for (const QString& seconds : {u"0.0004"_s, u"-5"_s, u"-0.9995"_s, u"-1E300"_s}) {
    misc.timeShown = 0;
    EXPECT_LT(TimedRun({u"OS_Sleep("_s + seconds + u")"_s, u"y = 1"_s}), 500);
    EXPECT_EQ(misc.timeShown, baseline) << seconds.toStdString();
    EXPECT_EQ(Value(u"y"_s), u"1"_s);
  }
  // 1001 ms: two chunks of 500, one millisecond less than asked.
  misc.timeShown = 0;
  EXPECT_GE(TimedRun({u"Sleep(1.001)"_s, u"y = 1"_s}), 1000);
  EXPECT_EQ(misc.timeShown - baseline, 2);
  EXPECT_EQ(misc.errors, QStringList());
}

TEST_F(MiscFunctions, PauseKeyEndsTheSleepAndPausesTheRun) {
  misc.pauseHeld = true;
  // The key is looked at after the first one-second chunk, not before it.
  const qint64 elapsed = TimedRun({u"Sleep(30)"_s, u"y = 1"_s});
  EXPECT_GE(elapsed, 1000);
  EXPECT_LT(elapsed, 10000);
  EXPECT_EQ(Engine().RunMode, rmIdle);
  EXPECT_EQ(Value(u"y"_s), QString());
}

// ---- Check --------------------------------------------------------------------------------------

TEST_F(MiscFunctions, CheckAsksOnlyAboutDifferentValuesAndNoStopsTheRun) {
  RunMisc({u"Check(1, 1.0000000000001)"_s, u"Equal_test('abc', 'abc')"_s,
           u"array a[2] float = (1, 2)"_s, u"array b[2] float = (1, 2.0000000000001)"_s,
           u"Check(a, b)"_s, u"Check('abc', 'ABC')"_s, u"y = 1"_s});
  EXPECT_EQ(misc.questions, QStringList{u"abc <> ABC\r\rContinue?"_s});
  EXPECT_EQ(Value(u"y"_s), QString());
  EXPECT_EQ(Engine().RunMode, rmIdle);
  SetLanguageIndex(1);
  RunMisc({u"Check(2, 3)"_s});
  EXPECT_EQ(misc.questions.last(), u"2 <> 3\r\rПродолжить?"_s);
}

TEST_F(MiscFunctions, CheckComparesArraysByTypeCountAndElementsAndYesGoesOn) {
  misc.answerYes = true;
  RunMisc({u"array a[2] float = (1, 2)"_s, u"array b[2] float = (1, 3)"_s,
           u"array c[3] float = (1, 2, 0)"_s, u"array s[2] string = ('1', '2')"_s,
           u"array t[2] string = ('a', 'b')"_s, u"array u[2] string = ('a', 'B')"_s,
           u"Check(a, b)"_s, u"Check(a, c)"_s, u"Check(a, s)"_s, u"Check(t, u)"_s, u"Check(a, 1)"_s,
           u"y = 1"_s});
  ASSERT_EQ(misc.questions.size(), 5);
  EXPECT_EQ(misc.questions[3], u"t <> u\r\rContinue?"_s);
  EXPECT_EQ(Value(u"y"_s), u"1"_s);
}

// ---- Exists -------------------------------------------------------------------------------------

TEST_F(MiscFunctions, ExistsKnowsVariablesAndArrays) {
  EXPECT_EQ(RunMisc({u"v = 1"_s, u"array a[2] float"_s, u"x1 = Exists(v)"_s, u"x2 = Exists(a)"_s,
                     u"x3 = Exists(nothing_here)"_s}),
            QString());
  EXPECT_EQ(Value(u"x1"_s), u"true"_s);
  EXPECT_EQ(KindOf(u"x1"_s), wkBool);
  EXPECT_EQ(Value(u"x2"_s), u"true"_s);
  EXPECT_EQ(Value(u"x3"_s), u"false"_s);
}

// ---- Json_FindValue -----------------------------------------------------------------------------

class JsonFindValue : public MiscFunctions {
 protected:
  QString Find(const QString& json, const QString& path) {
    return Eval(u"Json_FindValue('"_s + json + u"', '"_s + path + u"')"_s);
  }
  const QString conference =
      uR"({"title":"Conference","participants":[{"name":"John"},{"name":"Alice"}],"place":{"number":23}})"_s;
};

TEST_F(JsonFindValue, FindsMembersAndElementsByPath) {
  EXPECT_EQ(Find(conference, u"title"_s), u"\"Conference\""_s);
  EXPECT_EQ(KindOf(u"x"_s), wkString);
  EXPECT_EQ(Find(conference, u"place"_s), u"{\"number\":23}"_s);
  EXPECT_EQ(Find(conference, u"place.number"_s), u"23"_s);
  EXPECT_EQ(Find(conference, u"participants"_s), uR"([{"name":"John"},{"name":"Alice"}])"_s);
  EXPECT_EQ(Find(conference, u"participants[1].name"_s), u"\"Alice\""_s);
  for (const QString& path :
       {u"subject"_s, u"participants[2]"_s, u"title.x"_s, u"place[0]"_s, u"participants[x]"_s})
    EXPECT_EQ(Find(conference, path), QString()) << path.toStdString();
}

TEST_F(JsonFindValue, ValuesKeepTheirWrittenFormWithoutBlanks) {
  const QString json =
      uR"({ "z" : 1, "a" : [ 2.50 , true, null, "x y", {"b" : -1e3} ], "s":"q\"uote" })"_s;
  // Member order and number texts as written; blanks inside strings stay.
  EXPECT_EQ(Find(json, u"a"_s), uR"([2.50,true,null,"x y",{"b":-1e3}])"_s);
  EXPECT_EQ(Find(json, u"a[4].b"_s), u"-1e3"_s);
  EXPECT_EQ(Find(json, u"s"_s), uR"("q\"uote")"_s);
  EXPECT_EQ(Find(json, u""_s), uR"({"z":1,"a":[2.50,true,null,"x y",{"b":-1e3}],"s":"q\"uote"})"_s);
}

TEST_F(JsonFindValue, TextThatIsNoJsonObjectIsAnError) {
  const QString bad = RunMisc({u"x = Json_FindValue('{\"a\":', 'a')"_s});
  EXPECT_TRUE(bad.startsWith(u"Invalid JSON text: "_s)) << bad.toStdString();
  EXPECT_TRUE(bad.endsWith(MessageText(2, {0})));
  misc.errors.clear();
  EXPECT_EQ(RunMisc({u"x = Json_FindValue('[1, 2]', '[0]')"_s}),
            TextErrorAt(0, u"The JSON text is not an object: it must begin with \"{\"."_s));
}

// ---- Base64 -------------------------------------------------------------------------------------

TEST_F(MiscFunctions, Base64OfUtf16Text) {
  EXPECT_EQ(Eval(u"Base64_Encode('A')"_s), u"QQA="_s);
  EXPECT_EQ(Eval(u"Base64_Decode('QQA=')"_s), u"A"_s);
  EXPECT_EQ(Eval(u"Base64_Decode(Base64_Encode('Привет, world'))"_s), u"Привет, world"_s);
}

// ---- Play_Sound ---------------------------------------------------------------------------------

class PlaySound : public MiscFunctions {
 protected:
  QTemporaryDir folder;
  QByteArray savedHome;

  void SetUp() override {
    MiscFunctions::SetUp();
    savedHome = qgetenv("TRESSALY_HOME");
    qputenv("TRESSALY_HOME", folder.path().toUtf8());
    ResetProgramFolderForTests();
  }
  void TearDown() override {
    sound_player::Close();
    if (savedHome.isEmpty())
      qunsetenv("TRESSALY_HOME");
    else
      qputenv("TRESSALY_HOME", savedHome);
    ResetProgramFolderForTests();
    MiscFunctions::TearDown();
  }

  // A mono 16-bit PCM RIFF file of a 440 Hz tone at 8000 samples a second.
  QString WriteWave(const QString& name, int milliseconds) {
    const quint32 samples = 8 * quint32(milliseconds);
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + 2 * samples);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(2 * samples);
    for (quint32 i = 0; i < samples; ++i) out << qint16(8000 * std::sin(2 * M_PI * 440 * i / 8000));
    return WriteFile(name, file);
  }
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = folder.path() + u'/' + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
};

TEST_F(PlaySound, SynchronousPlayWaitsForTheSoundsLength) {
  WriteWave(u"tone.wav"_s, 400);
  // A name without a folder is found in the program folder.
  const qint64 elapsed = TimedRun({u"Play_Sound('  tone.wav ')"_s, u"y = 1"_s});
  EXPECT_EQ(misc.errors, QStringList());
  EXPECT_GE(elapsed, 390);
  EXPECT_LT(elapsed, 10000);
  EXPECT_EQ(Value(u"y"_s), u"1"_s);
  EXPECT_FALSE(sound_player::Playing());
}

TEST_F(PlaySound, AsynchronousPlayReturnsWhileTheSoundPlays) {
  const QString path = WriteWave(u"long.WAV"_s, 3000);
  const qint64 elapsed = TimedRun({u"OS_PlaySound('"_s + path + u"', 1)"_s});
  EXPECT_EQ(misc.errors, QStringList());
  EXPECT_LT(elapsed, 2500);
  EXPECT_TRUE(sound_player::Playing());
  EXPECT_EQ(sound_player::LengthMs(), 3000);
  // The next sound replaces the one still playing.
  WriteWave(u"short.wav"_s, 100);
  EXPECT_EQ(RunMisc({u"Play_Sound('short.wav', 0)"_s}), QString());
  EXPECT_FALSE(sound_player::Playing());
}

TEST_F(PlaySound, MissingUnknownAndUndecodableFilesAreReported) {
  const QString missing = folder.path() + u"/none.wav"_s;
  EXPECT_EQ(RunMisc({u"Play_Sound('none.wav')"_s}), ErrorAt(0, 170, {missing}));
  misc.errors.clear();
  EXPECT_EQ(RunMisc({u"Play_Sound('"_s + folder.path() + u"')"_s}),
            ErrorAt(0, 170, {folder.path()}));
  misc.errors.clear();
  const QString text = WriteFile(u"notes.txt"_s, "not a sound");
  EXPECT_EQ(RunMisc({u"Play_Sound('notes.txt')"_s}), ErrorAt(0, 172, {text}));
  const QString broken = WriteFile(u"broken.wav"_s, "RIFF but not really a wave file");
  const QString error = RunMisc({u"Play_Sound('broken.wav')"_s});
  EXPECT_TRUE(error.startsWith(u"Cannot play the sound file \""_s + broken + u"\": "_s))
      << error.toStdString();
}

// ---- Exit, Eval ---------------------------------------------------------------------------------

TEST_F(MiscFunctions, ExitInsideAFunctionInALoopEndsTheRunAndAsksTheHostToEnd) {
  EXPECT_EQ(
      RunMisc({u"n = 0"_s, u"FOR i = 1,10"_s, u"  n = n + 1"_s, u"  f()"_s, u"y = 1"_s, u"stop"_s,
               u"function f()"_s, u"  if n = 3"_s, u"    Exit()"_s, u"  return"_s}),
      QString());
  EXPECT_EQ(Value(u"n"_s), u"3"_s);
  EXPECT_EQ(Value(u"y"_s), QString());
  EXPECT_EQ(misc.exits, QList<int>{0});
  EXPECT_EQ(Engine().RunMode, rmIdle);
}

TEST_F(MiscFunctions, EvalKeepsItsStateAndReportsErrors) {
  EXPECT_EQ(RunMisc({u"x = JS_Evaluation('var kept = 20; kept + 1')"_s, u"y = Eval('kept * 2')"_s,
                     u"z = Eval('undefined')"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"21"_s);
  EXPECT_EQ(KindOf(u"x"_s), wkString);
  EXPECT_EQ(Value(u"y"_s), u"40"_s);
  EXPECT_EQ(Value(u"z"_s), QString());
  const QString error = RunMisc({u"x = Eval('nosuch(')"_s});
  EXPECT_TRUE(error.endsWith(MessageText(2, {0}))) << error.toStdString();
  EXPECT_FALSE(error.startsWith(u"JavaScript: "_s));  // Eval reports the engine's own message
}

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <ostream>

#include "../small_disk.h"
#include "ide/settings_file.h"
#include "ide/window_settings.h"

using namespace Qt::Literals::StringLiterals;

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

namespace {

IniFile Parsed(const QByteArray& bytes) {
  IniFile ini;
  ini.Parse(bytes);
  return ini;
}

// "Section:key,key;Section:key" — the names and their order at a glance.
QString Layout(const IniFile& ini) {
  QStringList sections;
  for (const QString& name : ini.Sections()) sections << name + u':' + ini.Keys(name).join(u',');
  return sections.join(u';');
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST(IniFile, ToleratesTheUsualLayouts) {
  const IniFile ini = Parsed(
      "\xEF\xBB\xBForphan=1\r\n; comment\n  # comment = too\r[ First ]\r\n  a  =  1  \n\n"
      "no equals sign\n=empty key\nb=x=y\r\nA=second a\n[Second] ; trailing\nc=3\n"
      "[broken\nlost=1\n[]\nlost2=1\n[FIRST]\nd=4");
  EXPECT_EQ(Layout(ini), u"First:a,b,d;Second:c"_s);
  EXPECT_EQ(ini.GetString(u"First", u"a"), u"1"_s);  // the first of a repeated key
  EXPECT_EQ(ini.GetString(u"First", u"b"), u"x=y"_s);
}

TEST(IniFile, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  IniFile ini = Parsed("[MainForm]\nWidth=5\n[Шрифт]\nИмя=x\n");
  EXPECT_EQ(ini.GetInt(u"MAINFORM", u" width ", 0), 5);
  EXPECT_EQ(ini.GetString(u"шрифт", u"ИМЯ"), u"x"_s);
  EXPECT_TRUE(ini.SetInt(u"mainform", u"WIDTH", 7));
  EXPECT_TRUE(ini.SetString(u"edit_font", u"Name", u"Mono"_s));
  EXPECT_EQ(ini.ToBytes(),
            "[MainForm]\r\nWidth=7\r\n\r\n[Шрифт]\r\nИмя=x\r\n\r\n[edit_font]\r\nName=Mono\r\n");
}

TEST(IniFile, TypedValuesFallBackOnBadText) {
  const IniFile ini = Parsed("[S]\nn= -7 \nw=abc\nr=12.5\nh=99999999999\ne=\nt=TRUE\nf=off\n");
  EXPECT_EQ(ini.GetInt(u"S", u"n", 0), -7);
  for (const char16_t* key : {u"w", u"r", u"h", u"e", u"missing"})
    EXPECT_EQ(ini.GetInt(u"S", key, 42), 42) << QString::fromUtf16(key).toStdString();
  EXPECT_EQ(std::tuple(ini.GetBool(u"S", u"t", false), ini.GetBool(u"S", u"n", false),
                       ini.GetBool(u"S", u"f", true), ini.GetBool(u"S", u"w", true)),
            std::tuple(true, true, false, true));
  EXPECT_EQ(ini.GetString(u"S", u"e", u"dflt"_s), QString());  // present but empty
}

TEST(IniFile, SettersNeverWriteWhatCannotBeReadBack) {
  IniFile ini;
  EXPECT_TRUE(ini.SetString(u"S", u"path", u"  a\r\n[Evil]\nx=1  "_s));
  for (const char16_t* key : {u"", u"a=b", u"[k", u";k", u"#k", u"k\nl"})
    EXPECT_FALSE(ini.SetString(u"S", key, u"v"_s));
  EXPECT_FALSE(ini.SetString(u" ", u"k", u"v"_s) || ini.SetString(u"A\nB", u"k", u"v"_s));
  const IniFile back = Parsed(ini.ToBytes());
  EXPECT_EQ(Layout(back), u"S:path"_s);
  EXPECT_EQ(back.GetString(u"S", u"path"), ini.GetString(u"S", u"path"));
}

TEST(IniFile, GarbageNeverBreaksParsing) {
  QRandomGenerator random(12345);
  for (int round = 0; round < 200; ++round) {
    QByteArray bytes(random.bounded(1, 2000), '\0');
    for (char& c : bytes) c = static_cast<char>(random.bounded(256));
    const IniFile ini = Parsed(bytes);
    EXPECT_EQ(Parsed(ini.ToBytes()).ToBytes(), ini.ToBytes());  // what is kept round-trips
  }
  // A huge header line is dropped with its keys, a huge value line alone; the rest survives.
  const QByteArray huge(IniFile::kMaxLineBytes + 10, 'x');
  const IniFile ini = Parsed("[A]\nk=1\n[" + huge + "]\nlost=1\n[B]\nv=" + huge + "\nw=\xFF\n");
  EXPECT_EQ(Layout(ini), u"A:k;B:w"_s);
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFile) {
  const QString target = Path(u"t.ini"_s);
  Put(target, "[S]\r\nk=old\r\n");
  IniFile ini;
  EXPECT_FALSE(ini.Load(Path(u"missing.ini"_s)) || ini.Load(dir_.path()));
  ini.SetString(u"S", u"k", u"new"_s);

  // The parent is a regular file: nothing can be written there.
  Put(Path(u"plain"_s), "not a folder");
  QString error;
  EXPECT_FALSE(ini.Save(Path(u"plain/tressaly.ini"_s), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(Bytes(Path(u"plain"_s)), "not a folder");

  // A write that fails half-way (file size limit) leaves the previous file whole.
  ini.SetString(u"S", u"big", QString(200000, u'x'));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = ini.Save(target);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(Bytes(target), "[S]\r\nk=old\r\n");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // no temporary left behind
}

TEST(IniFileOnAFullDisk, SaveFailsAndKeepsTheOldFile) {
  SmallDisk disk;
  SKIP_WITHOUT_SMALL_DISK(disk);
  disk.Put(u"tressaly.ini"_s, "[S]\r\nk=old\r\n");
  disk.Fill();
  IniFile ini;
  ini.SetString(u"S", u"k", u"new"_s);
  QString error;
  EXPECT_FALSE(ini.Save(disk.file(u"tressaly.ini"_s), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(Bytes(disk.file(u"tressaly.ini"_s)), "[S]\r\nk=old\r\n");
}

TEST_F(SettingsTest, DefaultsWithoutAFile) {
  const WindowSettings s = LoadWindowSettings(Path(u"missing.ini"_s));
  EXPECT_EQ(s, WindowSettings{});
  EXPECT_EQ(std::tuple(s.left, s.top, s.width, s.height, s.localPanelWidth, s.bottomPanelHeight),
            std::tuple(0, 0, 800, 600, 150, 220));
  EXPECT_TRUE(s.state == WindowState::Normal && s.UsesInternalEditor());
  EXPECT_EQ(std::tuple(s.fontName, s.fontSize, s.fontCharset, s.GridRowHeight()),
            std::tuple(u"Courier New"_s, 10, 1, 18));
  EXPECT_EQ(s.textWindow.Placement(QSize(1920, 1080)), QRect(560, 240, 800, 600));
}

TEST_F(SettingsTest, RoundTripKeepsOtherSectionsAndUsesTheFileNames) {
  const QString path = Path(u"tressaly.ini"_s);
  Put(path, "[ComPorts]\nCOM3=/dev/ttyUSB0\n[FormMemo]\nLeft=11\nTop=12\nWidth=900\nHeight=700\n");
  WindowSettings s;
  s.left = -20, s.top = 30, s.width = 1024, s.height = 700;
  s.localPanelWidth = 90, s.bottomPanelHeight = 300;
  s.editorKind = kExternalEditor.toString(), s.externalEditorFile = u"/usr/bin/kate"_s;
  s.fontName = u"DejaVu Sans Mono"_s, s.fontSize = 12, s.fontCharset = 204;
  ASSERT_TRUE(StoreWindowSettings(path, s));
  s.textWindow = {11, 12, 900, 700};
  EXPECT_EQ(LoadWindowSettings(path), s);

  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  EXPECT_EQ(Layout(ini),
            u"ComPorts:COM3;FormMemo:Left,Top,Width,Height;MainForm:Left,Top,Width,Height,"
            u"Panel_Var_Local_Width,Panel_Bottom_Height,State,EditorKind,ExternalEditorFile;"
            u"Edit_Font:Name,Size,Charset"_s);
  EXPECT_EQ(ini.GetString(u"MainForm", u"State") + ini.GetString(u"MainForm", u"EditorKind"),
            u"wsNormalekExternal"_s);
}

TEST_F(SettingsTest, NonNormalStateWritesOnlyTheStateKey) {
  const QString path = Path(u"tressaly.ini"_s);
  WindowSettings s;
  s.left = 5, s.width = 640;
  ASSERT_TRUE(StoreWindowSettings(path, s));
  s.left = 0, s.width = 1920, s.bottomPanelHeight = 50, s.state = WindowState::Maximized;
  ASSERT_TRUE(StoreWindowSettings(path, s));
  const WindowSettings back = LoadWindowSettings(path);
  EXPECT_EQ(std::tuple(back.state, back.left, back.width, back.bottomPanelHeight),
            std::tuple(WindowState::Maximized, 5, 640, 220));

  IniFile fresh;
  s.state = WindowState::Minimized;
  s.Write(fresh);
  EXPECT_EQ(fresh.Keys(u"MainForm").join(u','), u"State,EditorKind,ExternalEditorFile"_s);
  EXPECT_EQ(fresh.GetString(u"MainForm", u"State"), u"wsMinimized"_s);
}

TEST(WindowSettings, ReadingClampsAndFallsBack) {
  WindowSettings s;
  s.state = WindowState::Minimized;  // an unknown state text leaves this
  s.fontName = u"Current"_s;         // an empty name leaves this
  s.Read(
      Parsed("[mainform]\nLEFT=-99999\nwidth=-5\nHeight=abc\nPanel_Bottom_Height=2\n"
             "Panel_Var_Local_Width=-1\nState=wsmaximized\nEditorKind=EKINTERNAL\n"
             "[EDIT_FONT]\nname=\nSize=0\nCharset=300\n[FormMemo]\nLeft=x\nTop=7\nWidth=50\n"));
  EXPECT_EQ(QRect(s.left, s.top, s.width, s.height),
            QRect(-SettingsLimits::kMaxCoordinate, 0, SettingsLimits::kMinWindowSide, 600));
  EXPECT_EQ(std::tuple(s.bottomPanelHeight, s.localPanelWidth, s.state),
            std::tuple(5, 0, WindowState::Minimized));
  EXPECT_FALSE(s.UsesInternalEditor());
  EXPECT_EQ(std::tuple(s.fontName, s.fontSize, s.fontCharset),
            std::tuple(u"Current"_s, SettingsLimits::kMinFontSize, 255));
  EXPECT_EQ(s.textWindow.Placement(QSize(1000, 800)), QRect(100, 7, 100, 600));
  IniFile memo;
  s.textWindow.Write(memo);
  EXPECT_EQ(Layout(memo), u"FormMemo:Top,Width,Height"_s);  // no position for an absent left

  s.Read(Parsed("[MainForm]\n"));  // a missing state is "wsNormal", a missing kind internal
  EXPECT_EQ(s.state, WindowState::Normal);
  EXPECT_TRUE(s.UsesInternalEditor());
}

TEST(WindowSettings, GridRowHeightRoundsHalfToEven) {
  WindowSettings s;
  for (const auto& [size, rows] :
       {std::pair{6, 11}, {8, 15}, {9, 16}, {10, 18}, {12, 22}, {15, 28}, {21, 38}, {1000, 367}}) {
    s.fontSize = size;
    EXPECT_EQ(s.GridRowHeight(), rows) << size;
  }
}

}  // namespace

namespace {

using Place = MainWindowPlacement;

TEST(MainWindowPlacement, FirstStartCentredStoredGeometryKeptOrBroughtBackOnAScreen) {
  const QList<QRect> screens{QRect(0, 0, 1280, 900), QRect(1280, 0, 1920, 1080)};
  const auto stored = [&](int left, int top, int width, int height) {
    WindowSettings s;
    s.left = left, s.top = top, s.width = width, s.height = height;
    return Place::Place(s, true, screens);
  };
  EXPECT_EQ(Place::Place(WindowSettings{}, false, screens), QRect(90, 55, 1100, 750)) << "frame centred";
  EXPECT_EQ(Place::Place(WindowSettings{}, false, {QRect(0, 24, 1024, 744)}), QRect(0, 24, 1024, 704))
      << "a small screen: all of it, the title bar on it";
  EXPECT_EQ(stored(100, 50, 800, 600), QRect(100, 50, 800, 600));
  EXPECT_EQ(stored(1900, 10, 800, 600), QRect(1900, 10, 800, 600)) << "mostly on the second screen";
  EXPECT_EQ(stored(-1, -20, 800, 600), QRect(0, 0, 800, 600)) << "the title bar above the screen";
  EXPECT_EQ(stored(9000, 10, 800, 600), QRect(480, 10, 800, 600)) << "off every screen: onto the primary";
  EXPECT_EQ(stored(10, 10, 1200, 2000), QRect(10, 0, 1200, 860)) << "higher than its screen";
}

TEST_F(SettingsTest, GeometryCountsAsStoredOnlyWithAllFourKeys) {
  bool stored = true;
  Put(Path(u"part.ini"_s), "[MainForm]\nLeft=1\nTop=2\nWidth=900\nHeight=tall\n");
  LoadWindowSettings(Path(u"part.ini"_s), &stored);
  EXPECT_FALSE(stored);
  Put(Path(u"full.ini"_s), "[mainform]\nleft=-1\nTop=2\nWidth=900\nHeight=700\n");
  LoadWindowSettings(Path(u"full.ini"_s), &stored);
  EXPECT_TRUE(stored);
}

}  // namespace

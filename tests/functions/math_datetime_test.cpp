// Roots, powers, random numbers, and the date and time functions.
#include <QDateTime>
#include <set>

#include "function_fixture.h"

using namespace Qt::Literals::StringLiterals;

class MathFunctions : public FunctionTest {};

TEST_F(MathFunctions, RootsAndPowers) {
  EXPECT_EQ(Eval(u"sqrt(4)"_s), u"2"_s);
  EXPECT_EQ(KindOf(u"x"_s), wkFloat);
  EXPECT_EQ(Eval(u"cubic_root(-8)"_s), u"-2"_s);
  EXPECT_EQ(Eval(u"cubic_root(0)"_s), u"0"_s);
  EXPECT_EQ(Eval(u"pow(-8, 1/3)"_s), u"-2"_s);  // the exponent the cube-root sign becomes
  EXPECT_EQ(Eval(u"∛(-27)"_s), u"-3"_s);
  EXPECT_EQ(Eval(u"pow(-2, 3)"_s), u"-8"_s);
  EXPECT_EQ(Eval(u"pow(-2, -1)"_s), u"-0.5"_s);
  EXPECT_EQ(Eval(u"pow(2, -1)"_s), u"0.5"_s);
}

TEST_F(MathFunctions, NegativeValuesWithoutARealResultAreReported) {
  EXPECT_EQ(Run({u"x = sqrt(-1)"_s}), ErrorAt(0, 115, {-1.0}));
  EXPECT_EQ(Run({u"x = pow(-2, 0.5)"_s}), ErrorAt(0, 116, {-2.0, 0.5}));
  // Near 1/3, but not within 1e-13 of it.
  EXPECT_EQ(Run({u"x = pow(-8, 0.3333)"_s}), ErrorAt(0, 116, {-8.0, 0.3333}));
}

TEST_F(MathFunctions, RandomStaysInItsRange) {
  std::set<QString> reals, zeroOrOne, upToTwo, negative;
  for (int i = 0; i < 200; ++i) {
    const double v = Eval(u"Random()"_s).toDouble();
    ASSERT_TRUE(v >= 0 && v < 1) << v;
    reals.insert(Value(u"x"_s));
    ASSERT_EQ(Eval(u"Random(0)"_s), u"0"_s);
    zeroOrOne.insert(Eval(u"Random(1)"_s));
    upToTwo.insert(Eval(u"math_Random(2.5)"_s));  // 2.5 rounds to 2
    negative.insert(Eval(u"Random(-2)"_s));
  }
  EXPECT_GT(reals.size(), 150u);
  EXPECT_EQ(zeroOrOne, (std::set<QString>{u"0"_s, u"1"_s}));
  EXPECT_EQ(upToTwo, (std::set<QString>{u"0"_s, u"1"_s, u"2"_s}));
  EXPECT_EQ(negative, (std::set<QString>{u"-2"_s, u"-1"_s, u"0"_s}));
}

class DateTimeFunctions : public FunctionTest {};

TEST_F(DateTimeFunctions, UnixTimeAndDateTextConvertBothWays) {
  EXPECT_EQ(Eval(u"UNIXTimeToDateTime(0)"_s), u"01.01.1970 00:00:00"_s);
  EXPECT_EQ(KindOf(u"x"_s), wkString);
  EXPECT_EQ(Eval(u"UNIXTimeToDateTime(-1)"_s), u"31.12.1969 23:59:59"_s);
  EXPECT_EQ(Eval(u"UNIXTimeToDateTime(2.5)"_s), u"01.01.1970 00:00:02"_s);  // half to even
  EXPECT_EQ(Eval(u"DateTimeToUNIXTime('01.01.1970')"_s), u"0"_s);
  EXPECT_EQ(KindOf(u"x"_s), wkFloat);
  EXPECT_EQ(Eval(u"DateTimeToUNIXTime('02.01.1970 00:00:01')"_s), u"86401"_s);
  EXPECT_EQ(Eval(u"DateTimeToUNIXTime('29.02.2000 11:59:59')"_s), u"951825599"_s);
  EXPECT_EQ(Eval(u"DateTimeToUNIXTime('02.01.1970 00:00')"_s), u"86400"_s);  // not 19 characters
  EXPECT_EQ(Eval(u"DateTimeToUNIXTime(UNIXTimeToDateTime(1234567890))"_s), u"1234567890"_s);
}

TEST_F(DateTimeFunctions, TextsAndStampsOutsideTheCalendarAreReported) {
  for (const QString& text : {u"30.02.2001"_s, u"ab.01.1970"_s, u"1.1.1970"_s, u""_s,
                              u"01.01.1970 24:00:00"_s, u"01.01.1970 00:00:xx"_s})
    EXPECT_EQ(Run({u"x = DateTimeToUNIXTime('"_s + text + u"')"_s}), ErrorAt(0, 53, {text}))
        << text.toStdString();
  EXPECT_EQ(Run({u"x = UNIXTimeToDateTime(1E15)"_s}), ErrorAt(0, 72, {u"1E15"_s}));
  EXPECT_FALSE(Run({u"x = UNIXTimeToDateTime(-1E300)"_s}).isEmpty());
}

TEST_F(DateTimeFunctions, WithoutArgumentsTheMomentIsTheLocalNow) {
  const QDateTime now = QDateTime::currentDateTime();
  const double stamp = Eval(u"DateTimeToUNIXTime()"_s).toDouble();
  EXPECT_NEAR(stamp, double(now.toSecsSinceEpoch() + now.offsetFromUtc()), 5);
  const QDateTime read =
      QDateTime::fromString(Eval(u"UNIXTimeToDateTime()"_s), u"dd.MM.yyyy HH:mm:ss"_s);
  ASSERT_TRUE(read.isValid());
  EXPECT_LE(std::llabs(read.secsTo(QDateTime::currentDateTime())), 5);
}

TEST_F(DateTimeFunctions, FormatWritesTheFieldsOfNow) {
  QString text;
  QDate today;
  do {  // again if the date changed meanwhile
    today = QDate::currentDate();
    text = Eval(u"Date_Time_Format('d|dd|m|MM|yy|YYYY|ddd|dddd|mmm|mmmm|\"dd\" x')"_s);
  } while (today != QDate::currentDate());
  const QLocale c = QLocale::c();  // the tests run with LANG=C
  const QStringList names = {c.standaloneDayName(today.dayOfWeek(), QLocale::ShortFormat),
                             c.standaloneDayName(today.dayOfWeek()),
                             c.standaloneMonthName(today.month(), QLocale::ShortFormat),
                             c.standaloneMonthName(today.month())};
  EXPECT_EQ(text, today.toString(u"d|dd|M|MM|yy|yyyy|"_s) + names.join(u'|') + u"|dd x"_s);
}

TEST_F(DateTimeFunctions, FormatTakesMAfterAnHourAsMinutes) {
  // One call, one moment. Text between the hour and "m" does not change that.
  const QStringList parts = Eval(u"Date_Time_Format('hh:mm|hh:nn|h \"h\" m|s.zzz')"_s).split(u'|');
  ASSERT_EQ(parts.size(), 4);
  EXPECT_EQ(parts[0], parts[1]);
  EXPECT_EQ(parts[2].section(u' ', 2).toInt(), parts[1].section(u':', 1).toInt());
  EXPECT_EQ(parts[3].section(u'.', 1).size(), 3);
}

TEST_F(DateTimeFunctions, FormatOfAJavaScriptTimeShiftsByTheTimeZone) {
  // 946684800000 ms is 2000-01-01 00:00 UTC; the local moment differs by the zone's offset.
  EXPECT_EQ(Run({u"x = Date_Time_Format('yyyy', 946728000000)"_s}), QString());  // noon UTC
  EXPECT_EQ(Value(u"x"_s), u"2000"_s);
  EXPECT_EQ(Run({u"y = Date_Time_Format('dd.mm.yyyy', getTime('2000/01/02 23:59:45'))"_s}), QString());
  EXPECT_EQ(Value(u"y"_s), u"02.01.2000"_s);
}

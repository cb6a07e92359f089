// General functions: date and time texts and UNIX time stamps. Moments are serial day numbers:
// the whole part counts days from 30 December 1899, the fraction is the time of day.
#include <QDateTime>
#include <QLocale>
#include <cmath>

#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "functions/general_unit.h"
#include "functions/script_host.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kMsPerDay = 86400000;
constexpr double kUnixEpochSerial = 25569;  // 1 January 1970
const QDate kSerialZero(1899, 12, 30);
const QDate kUnixEpoch(1970, 1, 1);
// Serial numbers of 1 January 0001 and of the last moment of 31 December 9999.
constexpr double kFirstSerial = -693593;
constexpr double kLastSerial = 2958466;

struct Moment {
  QDate date;
  QTime time;
};

double NowSerial() {
  const QDateTime now = QDateTime::currentDateTime();
  return double(kSerialZero.daysTo(now.date())) +
         double(now.time().msecsSinceStartOfDay()) / kMsPerDay;
}

// The date and time of a serial number, to the millisecond; false outside the years 1..9999.
bool MomentOf(double serial, Moment& m) {
  if (!(serial >= kFirstSerial && serial < kLastSerial)) return false;
  double whole = std::trunc(serial);
  qint64 ms = std::llround(std::fabs(serial - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    whole += 1;
  }
  m.date = kSerialZero.addDays(qint64(whole));
  m.time = QTime::fromMSecsSinceStartOfDay(int(ms));
  return m.date.isValid() && m.date.year() >= 1 && m.date.year() <= 9999;
}

// The first separator character of the locale's short date or time format, or `fallback` when
// the format has none (the C locale writes "d MMM yyyy").
QString SeparatorOf(const QString& format, QChar fallback) {
  for (QChar ch : format)
    if (!ch.isLetterOrNumber() && !ch.isSpace() && ch != u'\'') return QString(ch);
  return QString(fallback);
}

QString Padded(int value, int width) {
  return u"%1"_s.arg(value, width, 10, QChar(u'0'));
}

// Writes a moment by a date-time pattern: d, dd day; ddd, dddd day names; m, mm month (or
// minutes right after an hour); mmm, mmmm month names; yy, yyyy year; h, hh hour; n, nn
// minutes; s, ss seconds; z, zzz milliseconds; "/" and ":" the locale's date and time
// separators; text in single or double quotes as it stands; everything else copied. Letters in
// any case; a run of one letter is one field.
QString FormatMoment(const QString& pattern, const Moment& m) {
  const QLocale locale = QLocale::system();
  QString out;
  QChar lastField;  // the last letter seen, upper case ('N' for minutes written as "m")
  qsizetype i = 0;
  while (i < pattern.size()) {
    const QChar ch = pattern[i];
    if (ch == u'"' || ch == u'\'') {
      const qsizetype close = pattern.indexOf(ch, i + 1);
      const qsizetype end = close < 0 ? pattern.size() : close;
      out += pattern.mid(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (ch == u'/') {
      out += SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
      ++i;
      continue;
    }
    if (ch == u':') {
      out += SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
      ++i;
      continue;
    }
    const char16_t upper =
        (ch.unicode() >= u'a' && ch.unicode() <= u'z') ? char16_t(ch.unicode() - 32) : ch.unicode();
    if (!(upper >= u'A' && upper <= u'Z')) {
      out += ch;
      ++i;
      continue;
    }
    qsizetype run = 1;
    while (i + run < pattern.size() && (pattern[i + run].unicode() | 0x20) == (upper | 0x20)) ++run;
    QChar field(upper);
    if (upper == u'M' && lastField == u'H') field = u'N';
    switch (field.unicode()) {
      case u'Y':
        out += run <= 2 ? Padded(m.date.year() % 100, 2) : Padded(m.date.year(), 4);
        break;
      case u'M':
        if (run <= 2)
          out += Padded(m.date.month(), int(run));
        else
          out += locale.standaloneMonthName(m.date.month(),
                                            run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        break;
      case u'D':
        if (run <= 2)
          out += Padded(m.date.day(), int(run));
        else if (run <= 4)
          out += locale.standaloneDayName(m.date.dayOfWeek(),
                                          run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        else
          out += locale.toString(m.date, run == 5 ? QLocale::ShortFormat : QLocale::LongFormat);
        break;
      case u'H':
        out += Padded(m.time.hour(), run == 1 ? 1 : 2);
        break;
      case u'N':
        out += Padded(m.time.minute(), run == 1 ? 1 : 2);
        break;
      case u'S':
        out += Padded(m.time.second(), run == 1 ? 1 : 2);
        break;
      case u'Z':
        out += Padded(m.time.msec(), run == 1 ? 1 : 3);
        break;
      default:
        out += pattern.mid(i, run);  // a letter with no meaning here stays as it is
    }
    lastField = field;
    i += run;
  }
  return out;
}

// Date_Time_Format(Format[, DateTime]): the local now, or a JavaScript time (milliseconds
// since 1970 UTC, shifted by the JavaScript host's time-zone offset), written by the pattern.
void DateTimeFormat(GeneralCall& c) {
  double serial = NowSerial();
  if (c.has(1)) {
    QString offsetText, error;
    if (!JavaScriptHost::Instance().Eval(u"(new Date()).getTimezoneOffset()"_s, offsetText, error))
      return c.failText(u"JavaScript: "_s + error);
    const double offset = offsetText.toInt();
    serial = (c.number(1) - offset * 60000) / 1000 / 86400 + kUnixEpochSerial;
  }
  Moment m;
  if (!MomentOf(serial, m)) return c.fail(72, {NumberText(c.number(1))});
  c.setText(FormatMoment(c.text(0), m));
}

// UNIXTimeToDateTime([Stamp]): "dd.mm.yyyy hh:nn:ss" of now or of the stamp, read as local time.
void UnixTimeToDateTime(GeneralCall& c) {
  const double serial = c.has(0) ? double(c.integer(0)) / 86400 + kUnixEpochSerial : NowSerial();
  Moment m;
  if (!MomentOf(serial, m)) return c.fail(72, {NumberText(c.number(0))});
  c.setText(FormatMoment(u"dd.MM.yyyy hh:nn:ss"_s, m));
}

// The integer text at characters from..from+length-1 (1-based) of `text`.
bool IntegerPart(const QString& text, int from, int length, int& value) {
  bool ok = false;
  value = text.mid(from - 1, length).toInt(&ok);
  return ok;
}

// DateTimeToUNIXTime([DT]): seconds since 1970 of now or of "dd.mm.yyyy[ hh:nn:ss]", both read
// as local time.
void DateTimeToUnixTime(GeneralCall& c) {
  if (!c.has(0)) return c.setSystemNumber(RoundHalfEven((NowSerial() - kUnixEpochSerial) * 86400));
  const QString& dt = c.text(0);
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  bool ok =
      IntegerPart(dt, 1, 2, day) && IntegerPart(dt, 4, 2, month) && IntegerPart(dt, 7, 4, year);
  if (ok && dt.size() == 19)
    ok = IntegerPart(dt, 12, 2, hour) && IntegerPart(dt, 15, 2, minute) &&
         IntegerPart(dt, 18, 2, second);
  const QDate date(year, month, day);
  ok = ok && date.isValid() && year >= 1 && year <= 9999 && hour >= 0 && hour < 24 && minute >= 0 &&
       minute < 60 && second >= 0 && second < 60;
  if (!ok) return c.fail(53, {dt});
  c.setSystemNumber(double(kUnixEpoch.daysTo(date) * 86400 + hour * 3600 + minute * 60 + second));
}

constexpr UnitFunctionEntry kDateTimeFunctions[] = {
    {u"Date_Time_Format", DateTimeFormat},
    {u"UNIXTimeToDateTime", UnixTimeToDateTime},
    {u"DateTimeToUNIXTime", DateTimeToUnixTime},
};

}  // namespace

std::span<const UnitFunctionEntry> DateTimeFunctions() {
  return kDateTimeFunctions;
}

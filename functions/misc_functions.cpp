// General functions: waiting, checks, existence tests, JSON paths, base64 texts, sounds, the end
// of the program and JavaScript evaluation.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/names.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "functions/file_paths.h"
#include "engine/local_texts.h"
#include "functions/general_unit.h"
#include "functions/script_host.h"
#include "functions/sound_player.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Marks the line in the editor and has the views refreshed after this step.
void MarkCurrentLine() {
  Host().SetCurrentLineMark(Engine().CurrentLine);
  Engine().StepWarning = true;
}

// ---- Sleep ------------------------------------------------------------------------------------

// Sleep([Seconds]): waits in equal chunks of at most one second; between chunks it shows the
// run time and looks at the Pause key, which ends the wait and pauses the run.
void Sleep(GeneralCall& c) {
  const double rounded = c.has(0) ? RoundHalfEven(c.number(0) * 1000) : 0;
  const qint64 ms = rounded >= 9.2e18 ? INT64_MAX : rounded > 0 ? qint64(rounded) : 0;
  MarkCurrentLine();
  if (ms <= 0) return;
  const qint64 parts = (ms - 1) / 1000 + 1;
  const qint64 chunk = ms / parts;
  bool paused = false;
  for (qint64 k = 0; k < parts; ++k) {
    QThread::msleep(quint64(chunk));
    Host().SetStatusText(5, StatusPanelText(5));
    Host().ProcessEvents();
    if (Host().PauseRequested()) {
      paused = true;
      break;
    }
  }
  if (paused) A_PauseExecute();
}

// ---- Check ------------------------------------------------------------------------------------

bool NearlyEqual(double a, double b) {
  return std::fabs(a - b) <= 1e-12;
}

// Same element type, same element count, and equal elements (texts exactly, numbers within
// 1e-12).
bool ArraysEqual(const QString& first, const QString& second) {
  const int i = FindArray(first);
  const int j = FindArray(second);
  if (i <= 0 || j <= 0) return false;
  const t_arr_specification& a = Engine().Array(i);
  const t_arr_specification& b = Engine().Array(j);
  if (a.data_type != b.data_type || a.count != b.count || !a.P || !b.P) return false;
  const std::size_t n = std::size_t(a.count);
  switch (a.data_type) {
    case wkString:
      return std::equal(a.P->strings.begin(), a.P->strings.begin() + n, b.P->strings.begin());
    case wkInt:
      return std::equal(a.P->ints.begin(), a.P->ints.begin() + n, b.P->ints.begin());
    default:
      return std::equal(a.P->floats.begin(), a.P->floats.begin() + n, b.P->floats.begin(),
                        NearlyEqual);
  }
}

// Check(TestValue, CheckValue): when they differ, asks whether to go on; any answer but Yes
// stops the run after this line.
void Check(GeneralCall& c) {
  const TWordStatus& test = c.arg(0);
  const TWordStatus& check = c.arg(1);
  bool equal;
  if (test.kind == wkFloat || test.kind == wkInt || test.kind == wkConst)
    equal = NearlyEqual(test.float_val, check.float_val);
  else if (test.kind == wkArrayName)
    equal = check.kind == wkArrayName && ArraysEqual(test.str, check.str);
  else
    equal = test.str == check.str;
  if (equal) return;
  MarkCurrentLine();
  const QString question = test.str + u" <> "_s + check.str + u"\r\r"_s + MessageText(305) + u'?';
  if (!Host().AskQuestion(question)) Engine().RunMode = rmIdle;
}

// Exists(Name): the unevaluated argument names a known variable or array.
void Exists(GeneralCall& c) {
  const TWordKind kind = c.arg(0).kind;
  c.setBool(kind == wkVariableName || kind == wkArrayName);
}

// ---- Json_FindValue ---------------------------------------------------------------------------

// One step of a path: a member name, or an element index in square brackets.
struct PathStep {
  QString name;
  qint64 index = -1;  // >= 0 for an element
};

// "a.b[2].c" as steps; false for a path that cannot name anything ("a[x]", "a[1").
bool ParsePath(const QString& path, QList<PathStep>& steps) {
  qsizetype i = 0;
  while (i < path.size()) {
    const QChar ch = path[i];
    if (ch == u'.') {
      ++i;
    } else if (ch == u'[') {
      const qsizetype close = path.indexOf(u']', i + 1);
      if (close < 0) return false;
      const QString inner = path.mid(i + 1, close - i - 1);
      PathStep step;
      if (inner.size() >= 2 && (inner.front() == u'"' || inner.front() == u'\'') &&
          inner.back() == inner.front()) {
        step.name = inner.mid(1, inner.size() - 2);
      } else {
        if (inner.isEmpty() || !inner.front().isDigit()) return false;
        bool ok = false;
        step.index = inner.toLongLong(&ok);
        if (!ok) return false;
      }
      steps.append(step);
      i = close + 1;
    } else {
      qsizetype end = i;
      while (end < path.size() && path[end] != u'.' && path[end] != u'[') ++end;
      steps.append(PathStep{path.mid(i, end - i)});
      i = end;
    }
  }
  return true;
}

// Walks JSON text that QJsonDocument has accepted, so that a value can be returned exactly as
// written: members in their order, numbers with their digits.
class JsonWalker {
 public:
  explicit JsonWalker(const QString& text) : t_(text) {}

  qsizetype position() const { return i_; }

  // Moves to the value of member `name` of the object at the position.
  bool Member(const QString& name) {
    SkipBlanks();
    if (At() != u'{') return false;
    ++i_;
    for (;;) {
      SkipBlanks();
      if (At() != u'"') return false;
      const QString key = ReadString();
      SkipBlanks();
      ++i_;  // ':'
      SkipBlanks();
      if (key == name) return true;
      SkipValue();
      SkipBlanks();
      if (At() != u',') return false;
      ++i_;
    }
  }

  // Moves to element `index` (from 0) of the array at the position.
  bool Element(qint64 index) {
    SkipBlanks();
    if (At() != u'[') return false;
    ++i_;
    SkipBlanks();
    if (At() == u']') return false;
    for (qint64 k = 0; k < index; ++k) {
      SkipValue();
      SkipBlanks();
      if (At() != u',') return false;
      ++i_;
      SkipBlanks();
    }
    return true;
  }

  // The value at the position without the blanks between its tokens.
  QString CompactValue() {
    SkipBlanks();
    const qsizetype start = i_;
    SkipValue();
    QString out;
    out.reserve(i_ - start);
    bool inString = false;
    for (qsizetype k = start; k < i_; ++k) {
      const QChar ch = t_[k];
      if (inString) {
        out += ch;
        if (ch == u'\\' && k + 1 < i_)
          out += t_[++k];
        else if (ch == u'"')
          inString = false;
      } else if (ch == u'"') {
        inString = true;
        out += ch;
      } else if (!IsBlank(ch)) {
        out += ch;
      }
    }
    return out;
  }

 private:
  static bool IsBlank(QChar ch) { return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r'; }
  QChar At() const { return i_ < t_.size() ? t_[i_] : QChar(); }
  void SkipBlanks() {
    while (i_ < t_.size() && IsBlank(t_[i_])) ++i_;
  }
  void SkipString() {
    ++i_;
    while (i_ < t_.size() && t_[i_] != u'"') i_ += t_[i_] == u'\\' ? 2 : 1;
    ++i_;
  }
  QString ReadString() {
    const qsizetype start = i_;
    SkipString();
    const QString raw = t_.mid(start, i_ - start);
    if (!raw.contains(u'\\')) return raw.mid(1, raw.size() - 2);
    // Escapes: let the JSON reader decode them.
    return QJsonDocument::fromJson((u'[' + raw + u']').toUtf8()).array().at(0).toString();
  }
  void SkipValue() {
    SkipBlanks();
    const QChar first = At();
    if (first == u'"') return SkipString();
    if (first == u'{' || first == u'[') {
      int depth = 0;
      while (i_ < t_.size()) {
        const QChar ch = t_[i_];
        if (ch == u'"') {
          SkipString();
          continue;
        }
        ++i_;
        if (ch == u'{' || ch == u'[')
          ++depth;
        else if ((ch == u'}' || ch == u']') && --depth == 0)
          return;
      }
      return;
    }
    while (i_ < t_.size() && !IsBlank(t_[i_]) && t_[i_] != u',' && t_[i_] != u']' && t_[i_] != u'}')
      ++i_;
  }

  const QString& t_;
  qsizetype i_ = 0;
};

// Json_FindValue(JSON, Path): the value at the path as compact JSON text, "" when not found.
void JsonFindValue(GeneralCall& c) {
  const QString& text = c.text(0);
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
  if (parseError.error != QJsonParseError::NoError) {
    return c.failText(Bilingual(u"Invalid JSON text: %1 (at character %2)."_s,
                                u"Недопустимый текст JSON: %1 (символ %2)."_s)
                          .arg(parseError.errorString())
                          .arg(parseError.offset + 1));
  }
  if (!document.isObject()) {
    return c.failText(
        Bilingual(u"The JSON text is not an object: it must begin with \"{\"."_s,
                  u"Текст JSON не является объектом: он должен начинаться с \"{\"."_s));
  }
  QList<PathStep> steps;
  if (!ParsePath(c.text(1), steps)) return c.setText(QString());
  JsonWalker walker(text);
  for (const PathStep& step : steps)
    if (!(step.index >= 0 ? walker.Element(step.index) : walker.Member(step.name)))
      return c.setText(QString());
  c.setText(walker.CompactValue());
}

// ---- Base64 -----------------------------------------------------------------------------------

void Base64Encode(GeneralCall& c) {
  c.setText(EncodeBase64Utf16(c.text(0)));
}
void Base64Decode(GeneralCall& c) {
  c.setText(DecodeBase64Utf16(c.text(0)));
}

// ---- Play_Sound -------------------------------------------------------------------------------

// Play_Sound(FileName[, Async]): plays a ".wav" or ".mp3" file; waits for its end unless Async
// is given and not 0.
void PlaySound(GeneralCall& c) {
  const QString path = ResolveDataFileName(TrimControl(c.text(0)));  // relative: program folder
  const bool async = c.integerOr(1, 0) != 0;
  const QFileInfo file(path);
  if (!file.isFile()) return c.fail(170, {path});
  const QString extension = file.suffix().toLower();
  if (extension != u"wav"_s && extension != u"mp3"_s) return c.fail(172, {path});
  QString problem;
  if (!sound_player::Start(path, problem)) {
    return c.failText(Bilingual(u"Cannot play the sound file \"%1\": %2"_s,
                                u"Не удаётся воспроизвести звуковой файл \"%1\": %2"_s)
                          .arg(path, problem));
  }
  MarkCurrentLine();
  if (!async) sound_player::WaitAndClose();
}

// ---- Exit, Eval -------------------------------------------------------------------------------

// Exit(): stops the run at once and asks the host to end the program.
void Exit(GeneralCall&) {
  Engine().RunMode = rmIdle;
  Host().ExitProgram(0);
}

// Eval(Str): the value of JavaScript text in the shared engine, as a string.
void Eval(GeneralCall& c) {
  QString value, error;
  if (!JavaScriptHost::Instance().Eval(c.text(0), value, error)) return c.failText(error);
  c.setText(value);
}

constexpr UnitFunctionEntry kMiscFunctions[] = {
    {u"Sleep", Sleep},
    {u"Check", Check},
    {u"Exists", Exists},
    {u"Json_FindValue", JsonFindValue},
    {u"Base64_Encode", Base64Encode},
    {u"Base64_Decode", Base64Decode},
    {u"Play_Sound", PlaySound},
    {u"Exit", Exit},
    {u"Eval", Eval},
};

}  // namespace

std::span<const UnitFunctionEntry> MiscFunctions() {
  return kMiscFunctions;
}

// The regular-expression host: a small interpreter of the RegExp statements and expressions,
// carried out on an ECMAScript regular-expression engine.
#include <QJSEngine>
#include <QJSValueIterator>

#include "functions/script_host.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// ---- Tokens ---------------------------------------------------------------------------------

struct Token {
  enum Kind { Name, Text, Number, Symbol, End } kind = End;
  QString text;  // a name as written, a string literal's value, a number, or the symbol
};

// Cuts a statement into tokens; false with a message for an unterminated string literal or a
// character that cannot stand in these statements.
bool Tokenize(const QString& s, std::vector<Token>& out, QString& error) {
  out.clear();
  for (qsizetype i = 0; i < s.size();) {
    const QChar c = s[i];
    if (c == u' ' || c == u'\t') {
      ++i;
    } else if (c.isLetter() || c == u'_') {
      qsizetype j = i;
      while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == u'_')) ++j;
      out.push_back({Token::Name, s.mid(i, j - i)});
      i = j;
    } else if (c.isDigit() || (c == u'-' && i + 1 < s.size() && s[i + 1].isDigit())) {
      qsizetype j = i + 1;
      while (j < s.size() && s[j].isDigit()) ++j;
      out.push_back({Token::Number, s.mid(i, j - i)});
      i = j;
    } else if (c == u'"') {
      QString value;
      qsizetype j = i + 1;
      for (;;) {
        if (j >= s.size() || s[j] == u'\r' || s[j] == u'\n') {
          error = u"Unterminated string constant"_s;
          return false;
        }
        if (s[j] == u'"') {
          if (j + 1 < s.size() && s[j + 1] == u'"') {
            value += u'"';
            j += 2;
            continue;
          }
          break;
        }
        value += s[j++];
      }
      out.push_back({Token::Text, value});
      i = j + 1;
    } else if (QStringView(u".(),=&").contains(c)) {
      out.push_back({Token::Symbol, QString(c)});
      ++i;
    } else {
      error = u"Invalid character"_s;
      return false;
    }
  }
  out.push_back({});
  return true;
}

class Parser {
 public:
  explicit Parser(const std::vector<Token>& t) : t_(t) {}
  bool name(QStringView n) {
    if (t_[pos_].kind != Token::Name || t_[pos_].text.compare(n, Qt::CaseInsensitive) != 0) return false;
    ++pos_;
    return true;
  }
  bool symbol(QChar c) {
    if (t_[pos_].kind != Token::Symbol || t_[pos_].text != QString(c)) return false;
    ++pos_;
    return true;
  }
  // A string: literals and the constants vbCr, vbLf, vbCrLf and vbTab joined with "&".
  bool text(QString& out) {
    if (!textPart(out)) return false;
    QString more;
    while (symbol(u'&')) {
      if (!textPart(more)) return false;
      out += more;
    }
    return true;
  }
  bool number(int& out) {
    if (t_[pos_].kind != Token::Number) return false;
    bool ok = false;
    out = t_[pos_++].text.toInt(&ok);
    return ok;
  }
  bool boolean(bool& out) {
    if (name(u"True")) out = true;
    else if (name(u"False")) out = false;
    else return false;
    return true;
  }
  bool atEnd() const { return t_[pos_].kind == Token::End; }

 private:
  bool textPart(QString& out) {
    if (t_[pos_].kind == Token::Text) {
      out = t_[pos_++].text;
      return true;
    }
    static const struct {
      const char16_t* name;
      const char16_t* value;
    } kConstants[] = {{u"vbCr", u"\r"}, {u"vbLf", u"\n"}, {u"vbCrLf", u"\r\n"}, {u"vbTab", u"\t"}};
    for (const auto& k : kConstants)
      if (name(k.name)) {
        out = QString::fromUtf16(k.value);
        return true;
      }
    return false;
  }

  const std::vector<Token>& t_;
  std::size_t pos_ = 0;
};

// ---- The regular-expression engine ---------------------------------------------------------

QJSEngine& RegexEngine() {
  static QJSEngine engine;
  return engine;
}

QJSValue RegexFunction(const char16_t* source) {
  return RegexEngine().evaluate(QString::fromUtf16(source));
}

// Calls one of the helpers; false with the engine's message on error.
bool CallRegex(QJSValue& function, const QJSValueList& args, QJSValue& result, QString& error) {
  result = function.call(args);
  if (result.isError()) {
    error = result.property(u"message"_s).toString();
    return false;
  }
  return true;
}

const QString kSyntaxError = u"Syntax error"_s;

}  // namespace

VBScriptHost& VBScriptHost::Instance() {
  static VBScriptHost host;
  return host;
}

bool VBScriptHost::ExecuteStatement(const QString& statement, QString& error) {
  std::vector<Token> tokens;
  if (!Tokenize(statement, tokens, error)) return false;
  Parser p(tokens);
  if (p.name(u"Set")) {
    if (p.name(u"re") && p.symbol(u'=') && p.name(u"new") && p.name(u"regexp") && p.atEnd()) {
      reCreated_ = true;
      ignoreCase_ = global_ = false;
      pattern_.clear();
      return true;
    }
    Parser q(tokens);
    QString text;
    if (q.name(u"Set") && q.name(u"Matches") && q.symbol(u'=') && q.name(u"re") && q.symbol(u'.') &&
        q.name(u"Execute") && q.symbol(u'(') && q.text(text) && q.symbol(u')') && q.atEnd()) {
      if (!reCreated_) {
        error = u"Object required: 're'"_s;
        return false;
      }
      static QJSValue execute = RegexFunction(
          u"(function(p, f, t) { var g = f.indexOf('g') >= 0;"
          u" var re = new RegExp(p, g ? f : f + 'g'); var out = []; var m;"
          u" while ((m = re.exec(t)) !== null) { out.push([m.index, m[0].length, m[0]]);"
          u" if (!g) break; if (m[0].length === 0) re.lastIndex++; } return out; })");
      QJSValue result;
      if (!CallRegex(execute, {pattern_, flags(), text}, result, error)) return false;
      matches_.clear();
      const int n = result.property(u"length"_s).toInt();
      for (int i = 0; i < n; ++i) {
        const QJSValue m = result.property(quint32(i));
        matches_.push_back({m.property(0).toInt(), m.property(1).toInt(), m.property(2).toString()});
      }
      matchesSet_ = true;
      return true;
    }
    error = kSyntaxError;
    return false;
  }
  if (p.name(u"re") && p.symbol(u'.')) {
    if (!reCreated_) {
      error = u"Object required: 're'"_s;
      return false;
    }
    bool flag = false;
    QString text;
    if (p.name(u"IgnoreCase") && p.symbol(u'=') && p.boolean(flag) && p.atEnd()) {
      ignoreCase_ = flag;
      return true;
    }
    Parser q(tokens);
    q.name(u"re"), q.symbol(u'.');
    if (q.name(u"Global") && q.symbol(u'=') && q.boolean(flag) && q.atEnd()) {
      global_ = flag;
      return true;
    }
    Parser r(tokens);
    r.name(u"re"), r.symbol(u'.');
    if (r.name(u"Pattern") && r.symbol(u'=') && r.text(text) && r.atEnd()) {
      pattern_ = text;
      return true;
    }
    Parser m(tokens);
    m.name(u"re"), m.symbol(u'.');
    if (m.name(u"MultiLine") && m.symbol(u'=') && m.boolean(flag) && m.atEnd()) return true;
  }
  error = kSyntaxError;
  return false;
}

QString VBScriptHost::flags() const { return QString(ignoreCase_ ? u"i"_s : QString()) + (global_ ? u"g"_s : QString()); }

bool VBScriptHost::Eval(const QString& expression, QString& value, QString& error) {
  std::vector<Token> tokens;
  if (!Tokenize(expression, tokens, error)) return false;
  QString text, replacement;
  {
    Parser p(tokens);
    if (p.name(u"re") && p.symbol(u'.') && p.name(u"Test") && p.symbol(u'(') && p.text(text) &&
        p.symbol(u')') && p.atEnd()) {
      if (!reCreated_) {
        error = u"Object required: 're'"_s;
        return false;
      }
      static QJSValue test = RegexFunction(u"(function(p, f, t) { return new RegExp(p, f).test(t); })");
      QJSValue result;
      if (!CallRegex(test, {pattern_, flags().remove(u'g'), text}, result, error)) return false;
      value = result.toBool() ? u"True"_s : u"False"_s;
      return true;
    }
  }
  {
    Parser p(tokens);
    if (p.name(u"re") && p.symbol(u'.') && p.name(u"Replace") && p.symbol(u'(') && p.text(text) &&
        p.symbol(u',') && p.text(replacement) && p.symbol(u')') && p.atEnd()) {
      if (!reCreated_) {
        error = u"Object required: 're'"_s;
        return false;
      }
      static QJSValue replace =
          RegexFunction(u"(function(p, f, t, r) { return t.replace(new RegExp(p, f), r); })");
      QJSValue result;
      if (!CallRegex(replace, {pattern_, flags(), text, replacement}, result, error)) return false;
      value = result.toString();
      return true;
    }
  }
  Parser p(tokens);
  if (!p.name(u"Matches") || !p.symbol(u'.')) {
    error = kSyntaxError;
    return false;
  }
  if (!matchesSet_) {
    error = u"Object required: 'Matches'"_s;
    return false;
  }
  if (p.name(u"Count") && p.atEnd()) {
    value = QString::number(matches_.size());
    return true;
  }
  int index = 0;
  if (!p.name(u"Item") || !p.symbol(u'(') || !p.number(index) || !p.symbol(u')') || !p.symbol(u'.')) {
    error = kSyntaxError;
    return false;
  }
  if (index < 0 || std::size_t(index) >= matches_.size()) {
    error = u"Invalid procedure call or argument"_s;
    return false;
  }
  const Match& m = matches_[std::size_t(index)];
  if (p.name(u"FirstIndex") && p.atEnd()) value = QString::number(m.firstIndex);
  else if (p.name(u"Length") && p.atEnd()) value = QString::number(m.length);
  else if (p.name(u"Value") && p.atEnd()) value = m.value;
  else {
    error = kSyntaxError;
    return false;
  }
  return true;
}

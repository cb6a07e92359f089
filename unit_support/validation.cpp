#include "unit_support/validation.h"

#include "engine/engine_state.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsTypeWord(const QString& t) {
  static const QStringList kTypes = {u"anytype"_s, u"int"_s, u"float"_s,
                                     u"boolean"_s, u"string"_s, u"array"_s};
  return kTypes.contains(t);
}

bool Accepts(TWordKind kind, const QString& type) {
  switch (kind) {
    case wkString:
    case wkStringDQ: return type == u"string"_s || type == u"anytype"_s;
    case wkFloat: return type == u"int"_s || type == u"float"_s || type == u"anytype"_s;
    case wkBool: return type == u"boolean"_s || type == u"anytype"_s;
    case wkArrayName: return type == u"array"_s || type == u"anytype"_s;
    default: return true;
  }
}

QString Translated(const QString& english) {
  QString text = english;
  TranslateText(english, text);
  return text;
}

const Signature& SignatureOf(const DescriptionTable& table, int slot) {
  // Parsed on first use; the tables are constants.
  static QHash<const T_FunctionDescription*, Signature> cache;
  const T_FunctionDescription* d = &table.entries[std::size_t(slot)];
  auto it = cache.find(d);
  if (it == cache.end()) it = cache.insert(d, ParseSignature(d->Formula));
  return *it;
}

}  // namespace

Signature ParseSignature(const QString& f) {
  Signature s;
  const qsizetype optionalStart = f.indexOf(u'[');
  const qsizetype firstClose = f.indexOf(u')');
  if (firstClose < 0) {
    s.missingCloseBracket = true;
    return s;
  }
  qsizetype pos = f.indexOf(u'(');
  bool nextIsVar = false;
  while (pos >= 0 && pos < f.size() - 1) {
    if (f.mid(pos + 1, 4).toLower() == u"var "_s) {
      s.varChecks.push_back(int(s.parameters.size()));
      nextIsVar = true;
    }
    const qsizetype colon = f.indexOf(u':', pos + 1);
    if (colon < 0) break;
    qsizetype end = colon + 1;
    while (end < f.size() && !QStringView(u"),=[]").contains(f[end])) ++end;
    QString type = f.mid(colon + 1, end - colon - 1).trimmed().toLower();
    if (type.isEmpty()) type = u"anytype"_s;
    const bool bad = !IsTypeWord(type);
    if (colon < firstClose) {
      s.parameters.push_back({type, nextIsVar, bad});
      nextIsVar = false;
      if (optionalStart < 0 || colon < optionalStart) s.required = int(s.parameters.size());
      if (bad) return s;  // the scan stops at a bad type word
      pos = end;
    } else {
      s.resultType = type;
      s.badResultType = bad;
      break;
    }
  }
  return s;
}

QString ValidateFunctionCall(TWordKind kind, QString& name, const TWordArray& args) {
  const DescriptionTable* table = TableForKind(kind);
  if (!table) return {};
  const int found = FindFunctionDescription(*table, name);
  if (found < 0) return {};
  const T_FunctionDescription& d = table->entries[std::size_t(found % 10000)];
  name = d.CanonicalName();
  const Signature& sig = SignatureOf(*table, found % 10000);
  if (sig.missingCloseBracket) {
    RaiseScriptError(MessageText(75, {name}));
    return {};
  }
  const auto developerError = [&] {
    RaiseScriptError(u"Developer error in Function description <"_s + d.Formula + u">."_s);
  };
  // The scan of the formula meets each parameter's "var " and type word in order.
  std::size_t nextVarCheck = 0;
  for (int p = 0; p <= int(sig.parameters.size()); ++p) {
    while (nextVarCheck < sig.varChecks.size() && sig.varChecks[nextVarCheck] == p) {
      ++nextVarCheck;
      if (args[p].var_index == 0) {
        RaiseScriptError(MessageText(119, {name, p + 1}));
        return {};
      }
    }
    if (p < int(sig.parameters.size()) && sig.parameters[std::size_t(p)].badType) {
      developerError();
      return {};
    }
  }
  if (sig.badResultType) {
    developerError();
    return {};
  }

  int n = 0;
  for (; n < args.count() && args[n].kind != wkNone; ++n) {
    const TWordStatus& a = args[n];
    if (n >= int(sig.parameters.size())) {
      RaiseScriptError(MessageText(120, {name, int(sig.parameters.size())}));
      return {};
    }
    if (a.kind == wkUnknownIdentifier) {
      RaiseScriptError(u"Function \""_s + name + u"\". Actual parameter № "_s + QString::number(n + 1) +
                       u" ("_s + a.str + (a.str.isEmpty() ? u") is undefined. "_s : u") is incorrect. "_s));
      return {};
    }
    const QString& type = sig.parameters[std::size_t(n)].type;
    if (!Accepts(a.kind, type)) {
      RaiseScriptError(Translated(u"Function"_s) + u" \""_s + name + u"\". "_s + Translated(u"Parameter"_s) +
                       u" № "_s + QString::number(n + 1) + Translated(u" must be"_s) + u"\" "_s + type +
                       u"\". "_s);
      return {};
    }
  }
  if (n < sig.required) {
    RaiseScriptError(MessageText(81, {name, n, sig.required}));
    return {};
  }
  return sig.resultType;
}

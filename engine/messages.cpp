#include "engine/messages.h"

#include <QFile>
#include <QLocale>
#include <array>
#include <cstdlib>

#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/run_host.h"
#include "engine/script_error.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct CatalogueEntry {
  QString english;
  QString russian;
};

using Catalogue = std::array<CatalogueEntry, kMessageCount + 1>;

QString Unescape(QStringView s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] != u'\\' || i + 1 >= s.size()) {
      out += s[i];
      continue;
    }
    const QChar next = s[++i];
    if (next == u'r')
      out += u'\r';
    else if (next == u'n')
      out += u'\n';
    else if (next == u't')
      out += u'\t';
    else
      out += next;
  }
  return out;
}

Catalogue LoadCatalogue() {
  Catalogue c;
  QFile file(u":/tressaly/messages.tsv"_s);
  if (!file.open(QIODevice::ReadOnly)) qFatal("message catalogue resource is missing");
  const QString data = QString::fromUtf8(file.readAll());
  for (QStringView line : QStringView(data).split(u'\n')) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const QList<QStringView> fields = line.split(u'\t');
    bool ok = false;
    const int number = fields.value(0).toInt(&ok);
    if (!ok || number < 1 || number > kMessageCount) continue;
    c[std::size_t(number)].english = Unescape(fields.value(1));
    c[std::size_t(number)].russian = Unescape(fields.value(2));
  }
  return c;
}

const Catalogue& TheCatalogue() {
  static const Catalogue catalogue = LoadCatalogue();
  return catalogue;
}

int g_languageIndex = LanguageFromEnvironment();

[[noreturn]] void FormatMismatch(const QString& templ) {
  throw ScriptException(u"Format '%1' invalid or incompatible with argument"_s.arg(templ));
}

QString GroupedNumber(double v, int decimals) {
  QLocale locale = QLocale::system();
  QString group = locale.groupSeparator();
  if (group.isEmpty() || group == u"."_s) group = u","_s;
  const QString plain = QString::number(v, 'f', decimals);  // "." separator, no grouping
  const bool negative = plain.startsWith(u'-');
  const qsizetype dot = plain.indexOf(u'.');
  const QString whole =
      plain.mid(negative ? 1 : 0, (dot < 0 ? plain.size() : dot) - (negative ? 1 : 0));
  QString grouped;
  for (qsizetype i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += group;
    grouped += whole[i];
  }
  return (negative ? u"-"_s : QString()) + grouped + (dot < 0 ? QString() : plain.mid(dot));
}

}  // namespace

int LanguageIndex() {
  return g_languageIndex;
}
void SetLanguageIndex(int index) {
  g_languageIndex = index == 1 ? 1 : 0;
}

int LanguageFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return (value[0] == 'r' && value[1] == 'u') ? 1 : 0;
  }
  return 0;
}

QString CatalogueText(int number, int column) {
  if (number < 1 || number > kMessageCount) return {};
  if (column == -1) return number < 10 ? u"0"_s + QString::number(number) : QString::number(number);
  const CatalogueEntry& e = TheCatalogue()[std::size_t(number)];
  return column == 1 ? e.russian : e.english;
}

QString FormatTemplate(const QString& templ, MessageArgs args) {
  QString out;
  out.reserve(templ.size() + 32);
  auto arg = args.begin();
  for (qsizetype i = 0; i < templ.size(); ++i) {
    if (templ[i] != u'%') {
      out += templ[i];
      continue;
    }
    if (++i >= templ.size()) FormatMismatch(templ);
    if (templ[i] == u'%') {
      out += u'%';
      continue;
    }
    const bool leftAlign = templ[i] == u'-';
    if (leftAlign) ++i;
    int width = 0, precision = -1;
    while (i < templ.size() && templ[i].isDigit()) width = width * 10 + templ[i++].digitValue();
    if (i < templ.size() && templ[i] == u'.') {
      precision = 0;
      while (++i < templ.size() && templ[i].isDigit())
        precision = precision * 10 + templ[i].digitValue();
    }
    if (i >= templ.size() || arg == args.end()) FormatMismatch(templ);
    const auto& v = arg->value;
    ++arg;
    QString piece;
    switch (templ[i].toLower().unicode()) {
      case 's':
        if (!std::holds_alternative<QString>(v)) FormatMismatch(templ);
        piece = std::get<QString>(v);
        if (precision >= 0) piece.truncate(precision);
        break;
      case 'd':
        if (!std::holds_alternative<long long>(v)) FormatMismatch(templ);
        piece = QString::number(std::get<long long>(v));
        if (precision > 0) {
          const bool neg = piece.startsWith(u'-');
          while (piece.size() - (neg ? 1 : 0) < precision) piece.insert(neg ? 1 : 0, u'0');
        }
        break;
      case 'f':
      case 'n': {
        double d;
        if (std::holds_alternative<double>(v))
          d = std::get<double>(v);
        else if (std::holds_alternative<long long>(v))
          d = double(std::get<long long>(v));
        else
          FormatMismatch(templ);
        const int decimals = precision < 0 ? 2 : precision;
        piece = templ[i].toLower() == u'f' ? QString::number(d, 'f', decimals)
                                           : GroupedNumber(d, decimals);
        break;
      }
      default:
        FormatMismatch(templ);
    }
    while (piece.size() < width) leftAlign ? piece.append(u' ') : piece.prepend(u' ');
    out += piece;
  }
  // Surplus arguments are ignored, as the classic formatter does.
  return out;
}

QString MessageText(int number, MessageArgs args) {
  return FormatTemplate(CatalogueText(number, LanguageIndex()), args);
}

void ShowMessageBox(int number, MessageArgs args) {
  Host().ShowMessageBox(MessageText(number, args), MessageIcon::Error);
}

void TranslateText(const QString& text, QString& destination) {
  const int column = LanguageIndex();
  if (column == 0) {
    destination = text;
    return;
  }
  const Catalogue& c = TheCatalogue();
  for (int n = 1; n <= kMessageCount; ++n)
    if (!c[std::size_t(n)].english.isEmpty() && c[std::size_t(n)].english == text) {
      destination = c[std::size_t(n)].russian;
      return;
    }
}

void RaiseScriptError(const QString& text) {
  EngineState& e = Engine();
  e.ErrorText = text + u"\r\r"_s + MessageText(msg::kLineReference, {e.CurrentLine});
}

// The bilingual message catalogue (entries 1..370) and the reporting of script errors.
#pragma once

#include <QString>
#include <initializer_list>
#include <variant>

inline constexpr int kMessageCount = 370;

// Interface language: 0 English, 1 Russian.
int LanguageIndex();
void SetLanguageIndex(int index);
// 1 when LC_ALL, LC_MESSAGES or LANG (the first that is set) begins with "ru", else 0.
int LanguageFromEnvironment();

// Raw template of an entry. Column -1 is the entry's number ("01", "02", ..., "370"),
// 0 English, 1 Russian. Out-of-range numbers and empty entries give an empty text.
QString CatalogueText(int number, int column);

// One argument of a template: a text, an integer or a real number.
struct MessageArg {
  std::variant<QString, long long, double> value;
  MessageArg(const QString& s) : value(s) {}
  MessageArg(QStringView s) : value(s.toString()) {}
  MessageArg(const char16_t* s) : value(QString::fromUtf16(s)) {}
  MessageArg(int i) : value(static_cast<long long>(i)) {}
  MessageArg(long long i) : value(i) {}
  MessageArg(double d) : value(d) {}
};
using MessageArgs = std::initializer_list<MessageArg>;

// Fills the placeholders %s, %d, %f (two decimals), %n (thousands separators, two decimals),
// each with optional "-", width and ".precision", and "%%". Throws ScriptException when the
// placeholders and the arguments do not match in number or type.
QString FormatTemplate(const QString& templ, MessageArgs args);

// The entry's text in the current language, formatted with the arguments.
QString MessageText(int number, MessageArgs args = {});

// Shows the formatted entry in a modal box with the error icon, through the run host.
void ShowMessageBox(int number, MessageArgs args = {});

// In Russian, replaces `destination` with the Russian text of the first entry whose English
// text equals `text`; leaves it unchanged when none does. In English it becomes `text`.
void TranslateText(const QString& text, QString& destination);

// ErrorText := text + CR CR + "Line %d." of the current line.
void RaiseScriptError(const QString& text);

#include "unit_support/dialog_service.h"

#include <array>

#include "engine/names.h"

namespace {

using enum MessageButton;

// The button sets of the style's low four bits; a value without a set shows OK.
struct ButtonSet {
  QList<MessageButton> buttons;
  MessageButton escape;
};
const std::array<ButtonSet, 6> kButtonSets = {{
    {{Ok}, Ok},
    {{Ok, Cancel}, Cancel},
    {{Abort, Retry, Ignore}, Abort},
    {{Yes, No, Cancel}, Cancel},
    {{Yes, No}, No},
    {{Retry, Cancel}, Cancel},
}};

// Indexed by result code - 1: English and Russian.
const std::array<std::array<const char16_t*, 2>, 7> kButtonNames = {{
    {u"OK", u"ОК"},
    {u"Cancel", u"Отмена"},
    {u"Abort", u"Прервать"},
    {u"Retry", u"Повтор"},
    {u"Ignore", u"Пропустить"},
    {u"Yes", u"Да"},
    {u"No", u"Нет"},
}};

DialogService g_noDialogs;
DialogService* g_dialogs = &g_noDialogs;

}  // namespace

MessageBoxStyle MessageBoxStyle::From(int style) {
  const std::size_t set = std::size_t(style & 0xF);
  const ButtonSet& chosen = set < kButtonSets.size() ? kButtonSets[set] : kButtonSets[0];
  MessageBoxStyle result{chosen.buttons, chosen.escape};
  const int icon = (style >> 4) & 0xF;
  result.icon = icon <= int(Icon::Information) ? Icon(icon) : Icon::None;
  const int defaultButton = (style >> 8) & 0xF;
  result.defaultButton = defaultButton < result.buttons.size() ? defaultButton : 0;
  return result;
}

QString MessageButtonName(MessageButton button, int language) {
  return QString::fromUtf16(kButtonNames[std::size_t(button) - 1][language == 1 ? 1 : 0]);
}

bool MessageButtonFromAnswer(const QString& answer, MessageButton& button) {
  const QString given = TrimControl(answer);
  bool isNumber = false;
  const int code = given.toInt(&isNumber);
  if (isNumber) {
    if (code < 1 || code > int(kButtonNames.size())) return false;
    button = MessageButton(code);
    return true;
  }
  for (std::size_t i = 0; i < kButtonNames.size(); ++i)
    for (const char16_t* name : kButtonNames[i])
      if (given.compare(QString::fromUtf16(name), Qt::CaseInsensitive) == 0) {
        button = MessageButton(i + 1);
        return true;
      }
  return false;
}

DialogService& Dialogs() {
  return *g_dialogs;
}
void SetDialogService(DialogService* service) {
  g_dialogs = service ? service : &g_noDialogs;
}

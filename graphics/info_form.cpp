#include "graphics/info_form.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "engine/engine_state.h"
#include "engine/event_calls.h"
#include "engine/message_numbers.h"
#include "engine/run_host.h"
#include "unit_support/call_frame.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Kept between calls: a later Info_form without a size keeps the last one.
int g_fontSize = 0;
// The controls on show and their commands, by control index.
InformationLayout g_shown;

bool StartsWithKeyword(const QString& text, QStringView keyword) {
  return text.startsWith(keyword, Qt::CaseInsensitive);
}

// The text before the first line break (empty when there is none) and the text after it.
// Scripts written on Linux break lines with LF alone; CR LF and CR count as well.
void CutFirstLine(QString& remaining, QString& line) {
  static const QRegularExpression lineBreak(u"[\r\n]"_s);
  const qsizetype end = remaining.indexOf(lineBreak);
  if (end < 0) {
    line.clear();
    remaining.clear();
    return;
  }
  line = remaining.left(end).trimmed();
  // Only the blanks in front go: trimming the end too would take the line break of a control
  // line that ends the text, which then could never be read.
  qsizetype next = end + 1;
  while (next < remaining.size() && remaining[next].isSpace()) ++next;
  remaining = remaining.mid(next);
}

void FlipCheckBox(const QString& variable) {
  const bool on = GetVariableText(variable).toLower() == u"true"_s;
  SetVariable(variable, on ? u"false"_s : u"true"_s, wkBool);
  Engine().ErrorText.clear();  // a name the script made unusable meanwhile changes nothing
  Host().RefreshViews();
}

void RunButton(const QString& command) {
  InfoWindow().SetControlsEnabled(false);  // a second click cannot start meanwhile
  RunInterfaceCommand(command);
  InfoWindow().SetControlsEnabled(true);
}

void ControlClicked(int control) {
  if (control < 0 || control >= g_shown.commands.size()) return;
  const QString command = g_shown.commands[control];  // a click may show another window
  if (g_shown.content.controls[control].kind == InformationControl::Kind::CheckBox)
    FlipCheckBox(command);
  else
    RunButton(command);
}

// The placement array: Left, Top, Width, Height, each rounded. Unknown names and arrays that
// are not float arrays are reported.
bool ReadPlacement(GeneralCall& call, QRect& placement) {
  const QString name = call.text(2);
  const int index = FindArray(name);
  if (index <= 0) {
    call.fail(msg::kUnknownArray, {name});
    return false;
  }
  const t_arr_specification& a = Engine().Array(index);
  if (a.data_type != wkFloat || !a.P) {
    call.fail(msg::kArrayMustBeFloat, {name});
    return false;
  }
  int v[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < 4 && i < a.P->floats.size(); ++i) {
    const double x = std::nearbyint(a.P->floats[i]);
    v[i] = std::isfinite(x) ? int(std::clamp(x, -1e6, 1e6)) : 0;
  }
  placement = QRect(v[0], v[1], v[2], v[3]);
  return true;
}

}  // namespace

std::optional<InformationLayoutError> ParseInformationLayout(const QString& info, InformationLayout& layout) {
  layout.content.controls.clear();
  layout.commands.clear();
  QString remaining = info;
  QString line;
  for (;;) {
    const bool button = StartsWithKeyword(remaining, u"button");
    if (!button && !StartsWithKeyword(remaining, u"checkbox")) break;
    const QString keyword = button ? u"button"_s : u"Checkbox"_s;
    CutFirstLine(remaining, line);
    const qsizetype open = line.indexOf(u'"');
    const qsizetype close = open < 0 ? -1 : line.indexOf(u'"', open + 1);
    const QString caption = close < 0 ? QString() : line.mid(open + 1, close - open - 1);
    if (caption.trimmed().isEmpty())
      return InformationLayoutError{msg::kControlCaptionMissing, line, keyword};
    const QString quoted = u'"' + caption + u'"';
    const QString command = line.mid(line.indexOf(quoted) + quoted.size()).trimmed();
    if (command.isEmpty())
      return InformationLayoutError{msg::kControlCommandMissing, line, keyword};
    InformationControl control;
    control.kind = button ? InformationControl::Kind::Button : InformationControl::Kind::CheckBox;
    control.caption = caption;
    layout.content.controls << control;
    layout.commands << command;
  }
  layout.content.text = remaining + u'\r';
  return std::nullopt;
}

void InfoForm(GeneralCall& call) {
  if (call.count() >= 2) {
    const double size = std::nearbyint(call.number(1));
    g_fontSize = std::isfinite(size) ? int(std::clamp(size, 1.0, 200.0)) : g_fontSize;
  }
  InformationLayout layout;
  if (call.count() == 3 && !ReadPlacement(call, layout.content.placement)) return;
  InfoWindow().Hide();
  const QRect placement = layout.content.placement;
  if (const auto error = ParseInformationLayout(call.text(0), layout)) {
    g_shown = {};
    return call.fail(error->message, {error->line, error->keyword, error->keyword});
  }
  layout.content.placement = placement;
  layout.content.fontSize = g_fontSize;
  // Check boxes drive Boolean variables, made "false" when missing or of another kind.
  for (qsizetype i = 0; i < layout.content.controls.size(); ++i) {
    InformationControl& control = layout.content.controls[i];
    if (control.kind != InformationControl::Kind::CheckBox) continue;
    const QString& variable = layout.commands[i];
    const int index = FindVariable(variable);
    if (index < 0 || Engine().Variables[std::size_t(index)].kind != wkBool) {
      SetVariable(variable, u"false"_s, wkBool);
      if (call.failed()) return;
    }
    control.checked = GetVariableText(variable).toLower() == u"true"_s;
  }
  g_shown = layout;
  InfoWindow().Show(layout.content, ControlClicked);
}

#include "engine/call_words.h"

#include <QHash>
#include <array>

#include "engine/engine_state.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/names_state.h"
#include "engine/recent_texts.h"
#include "engine/word_reader.h"

namespace {

// Bounded: a script that builds call texts on the fly must not grow it without end.
constexpr qsizetype kMaxTexts = 4096;

using KeptCall = LocalShared<const CallWords>;

QHash<QString, PerNamesState<KeptCall>>& Kept() {
  static QHash<QString, PerNamesState<KeptCall>> kept;
  return kept;
}

LocalShared<CallWords> Read(const QString& callText) {
  auto call = MakeLocalShared<CallWords>();
  const QString text = TrimControl(callText);
  const qsizetype open = text.indexOf(u'(');
  if (open < 0) {
    call->name = text;
    return call;
  }
  if (text.left(open).contains(u'=')) {
    call->shape = CallWords::NoCall;
    return call;
  }
  call->name = text.left(open).trimmed();
  const QString argText = text.mid(open + 1, text.size() - open - 2).trimmed();
  if (argText.isEmpty()) {
    call->shape = CallWords::NoArguments;
    return call;
  }
  call->shape = CallWords::WithArguments;
  SplitWords(argText, call->words);
  if (ErrorPending()) return nullptr;
  call->takesNames = TakesNames(call->name);
  for (int i = 0; i <= call->words.lastIndex(); ++i) {
    if (call->words[i].kind == wkArrayName && call->words[i + 1].kind == wkOpeningSquareBracket)
      call->hasElements = true;
    if (call->words[i].kind == wkScriptFunction) call->callsScriptFunction = true;
  }
  return call;
}

struct RecentCall {
  NamesState state;
  KeptCall call;
};

// A call text comes from the words of a kept line: the texts met last answer first.
RecentByText<RecentCall>& Recent() {
  static RecentByText<RecentCall> recent;
  return recent;
}

}  // namespace

bool TakesNames(QStringView functionName) {
  return SameName(functionName, u"EXISTS") || SameName(functionName, u"ARRAY_DELETE");
}

LocalShared<const CallWords> KeptCallWords(const QString& callText, const NamesState& state) {
  const auto found = Kept().constFind(callText);
  if (found == Kept().cend()) return nullptr;
  const KeptCall* call = found->Find(state);
  return call ? *call : nullptr;
}

LocalShared<const CallWords> ReadCallWords(const QString& callText) {
  // Reading classifies names but changes none: the state before is the words' state.
  const NamesState state = NamesState::Current();
  if (const RecentCall* recent = Recent().Find(callText); recent && recent->call && recent->state == state)
    return recent->call;
  if (KeptCall call = KeptCallWords(callText, state)) {
    Recent().Keep(callText, {state, call});
    return call;
  }
  auto& kept = Kept();
  KeptCall call = Read(callText);
  if (!call) return nullptr;
  if (kept.size() >= kMaxTexts) kept.clear();
  kept[callText].Keep(state, call);
  Recent().Keep(callText, {state, call});
  return call;
}

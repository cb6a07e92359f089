#include "functions/array_source.h"
#include "engine/message_numbers.h"

bool TakeArray(GeneralCall& call, int n, ArraySource& s) {
  const QString text = call.has(n) ? call.text(n) : QString();
  const int index = call.has(n) && call.arg(n).kind == wkArrayName ? FindArray(text) : 0;
  if (index == 0 || !Engine().Array(index).P) {
    call.fail(msg::kUnknownArray, {text});
    return false;
  }
  const t_arr_specification& a = Engine().Array(index);
  s.name = text;
  s.entryName = a.name;
  for (std::size_t k = 0; k < s.dim.size(); ++k) s.dim[k] = a.dim[k];
  s.count = a.count;
  s.type = a.data_type;
  s.P = a.P;
  return true;
}

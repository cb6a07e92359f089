// The texts by which the views show an array: the compact value text and the full listing.
#include <new>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/variable_view.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kValueTextLimit = 200;

int UsedDimensions(const t_arr_specification& a) {
  int k = kMaxArrayDimensions;
  while (k > 1 && a.dim[std::size_t(k - 1)] == 0) --k;
  return k;
}

// `maxLength` bounds the part of a string element taken, so that a short text of a huge
// element needs no copy of all of it.
QString ElementText(const t_arr_specification& a, std::size_t i, int floatWidth,
                    qsizetype maxLength = -1) {
  switch (a.data_type) {
    case wkString:
      return u'\'' + a.P->strings[i].left(maxLength) + u'\'';
    case wkInt:
      return QString::number(a.P->ints[i]);
    default:
      return FormatNumberWidth(floatWidth, a.P->floats[i]);
  }
}

struct ValueTextWriter {
  const t_arr_specification& a;
  int dims;
  QString out;
  std::size_t next = 0;
  bool full = false;

  void List(int d) {
    out += u'(';
    const int n = a.dim[std::size_t(d)];
    for (int e = 0; e < n && !full; ++e) {
      if (d + 1 < dims) {
        List(d + 1);
        continue;
      }
      if (e > 0) out += u',';
      if (next >= std::size_t(a.count)) break;  // a later dimension of size 0 holds nothing
      // A longer element is cut at the limit below anyway.
      out += ElementText(a, next++, 10, kValueTextLimit).trimmed();
      if (out.size() > kValueTextLimit) {
        if (a.data_type == wkString) out.truncate(kValueTextLimit);
        out += u"..."_s;
        full = true;
      }
    }
    if (!full) out += u')';
  }
};

// The listing, appended to `out` line by line (what was appended stays when memory runs out).
void AppendListing(const t_arr_specification& a, QString& out) {
  out += MessageText(msg::kArrayCaption) + u'\r' + a.name + u'\r' +
         MessageText(msg::kElementCount, {a.count}) + u'\r';
  if (!a.P || a.count == 0) return;
  const int dims = UsedDimensions(a);
  int index[kMaxArrayDimensions] = {1, 1, 1, 1};
  const auto advance = [&](int lastDim) {  // odometer over dimensions 0..lastDim
    for (int d = lastDim; d >= 0; --d) {
      if (++index[d] <= a.dim[std::size_t(d)]) return;
      index[d] = 1;
    }
  };
  const auto joined = [&](int upTo) {
    QStringList parts;
    for (int d = 0; d < upTo; ++d) parts << QString::number(index[d]);
    return parts.join(u',');
  };
  if (a.data_type == wkString) {
    for (int i = 0; i < a.count; ++i) {
      out += u'[' + joined(dims) + u"]: "_s + ElementText(a, std::size_t(i), 12) + u"\r\n"_s;
      advance(dims - 1);
    }
    return;
  }
  const int rowLength = a.dim[std::size_t(dims - 1)];
  const int lo = a.first[std::size_t(dims - 1)] + 1, hi = a.first[std::size_t(dims - 1)] + rowLength;
  for (int row = 0; row * rowLength < a.count; ++row) {
    QString line(u'[');
    if (dims > 1) line += joined(dims - 1) + u',';
    line += QString::number(lo) + u'-' + QString::number(hi) + u"]  "_s;
    for (int k = 0; k < rowLength; ++k) {
      if (k > 0) line += u',';
      line += ElementText(a, std::size_t(row * rowLength + k), 12);
    }
    out += line + u"\r\n"_s;
    if (dims > 1) advance(dims - 2);
  }
}

}  // namespace

QString ArrayValueText(int arrayIndex) {
  const t_arr_specification& a = Engine().Array(arrayIndex);
  if (!a.P) return {};
  ValueTextWriter writer{a, UsedDimensions(a), {}};
  writer.List(0);
  return writer.out;
}

QString ArrayListing(int arrayIndex) {
  QString out;
  try {
    AppendListing(Engine().Array(arrayIndex), out);
    return out;
  } catch (const std::bad_alloc&) {
  }
  // What was listed, and the out-of-memory text in place of the rest.
  try {
    return out + u'\r' + OutOfMemoryCellText();
  } catch (const std::bad_alloc&) {
    return OutOfMemoryCellText();
  }
}

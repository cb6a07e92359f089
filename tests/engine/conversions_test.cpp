#include <gtest/gtest.h>

#include "engine_fixture.h"

#include <QFile>
#include <QTemporaryDir>

#include "engine/byte_buffer.h"
#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class ConversionsTest : public EngineTest {
 protected:
};

TEST_F(ConversionsTest, HexToBinGroupsAndBoolText) {
  EXPECT_EQ(HexToBinGroups(u"1F"), u" 0001 1111"_s);
  EXPECT_EQ(HexToBinGroups(u"A5"), u" 1010 0101"_s);
  EXPECT_EQ(HexToBinGroups(u"7FFFFFFF"), u" 0111 1111 1111 1111 1111 1111 1111 1111"_s);
  EXPECT_EQ(HexToBinGroups(u""), u""_s);
  EXPECT_EQ(BoolText(true), u"true"_s);
  EXPECT_EQ(BoolText(false), u"false"_s);
}

TEST_F(ConversionsTest, Base64OfUtf16LeBytesRoundTripsAndFillsByteBuffer) {
  EXPECT_EQ(EncodeBase64Utf16(u"abc"_s), u"YQBiAGMA"_s);
  EXPECT_EQ(Engine().ByteBuffer, QByteArray("a\0b\0c\0", 6));
  EXPECT_EQ(EncodeBase64Utf16(u"a"_s), u"YQA="_s);  // padded, RFC 4648
  EXPECT_EQ(EncodeBase64Utf16(u"Я"_s), u"LwQ="_s);  // U+042F -> 2F 04

  Engine().ByteBuffer = "stale";
  EXPECT_EQ(DecodeBase64Utf16(u"YQBiAGMA"_s), u"abc"_s);
  EXPECT_EQ(Engine().ByteBuffer, QByteArray("a\0b\0c\0", 6));

  // "a\0b" has an odd last byte: it is ignored, but stays in the buffer.
  EXPECT_EQ(DecodeBase64Utf16(u"YQBi"_s), u"a"_s);
  EXPECT_EQ(Engine().ByteBuffer, QByteArray("a\0b", 3));

  const QString mixed = u"Привет, мир! 😀 ü"_s;
  EXPECT_EQ(DecodeBase64Utf16(EncodeBase64Utf16(mixed)), mixed);
  EXPECT_EQ(Engine().ByteBuffer.size(), mixed.size() * 2);
}

TEST_F(ConversionsTest, Base64BreaksLongOutputInto76CharacterCrLfLines) {
  // 57 characters = 114 bytes = exactly two full lines: no trailing CR LF.
  const QString two(57, u'x'), enc2 = EncodeBase64Utf16(two);
  ASSERT_EQ(enc2.size(), 76 + 2 + 76);
  EXPECT_EQ(enc2.mid(76, 2), u"\r\n"_s);
  EXPECT_FALSE(enc2.endsWith(u'\n'));

  // 100 characters = 200 bytes = 268 Base64 characters: lines of 76, 76, 76, 40.
  QString text;
  for (int i = 0; i < 100; ++i) text += QChar(u'A' + i % 26);
  const QString enc = EncodeBase64Utf16(text);
  const QStringList lines = enc.split(u"\r\n"_s);
  ASSERT_EQ(lines.size(), 4);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lines[i].size(), 76) << "line " << i;
  EXPECT_EQ(lines[3].size(), 40);
  EXPECT_EQ(DecodeBase64Utf16(enc), text);  // the line breaks are ignored
  EXPECT_EQ(DecodeBase64Utf16(enc2), two);
}

TEST_F(ConversionsTest, TextBetweenMarkers) {
  struct Case {
    QString text, start, end, expected;
  } const cases[] = {
      {u"f(x, y)"_s, u"("_s, u")"_s, u"x, y"_s},
      {u"f(x, y"_s, u"("_s, u")"_s, u""_s},   // end marker missing
      {u"f x, y)"_s, u"("_s, u")"_s, u""_s},  // start marker missing
      {u"a)b(c)"_s, u"("_s, u")"_s, u"c"_s},  // end searched after the start marker
      {u"a)b(c"_s, u"("_s, u")"_s, u""_s},    // end only before the start
      {u"abc"_s, u"ab"_s, u"bc"_s, u""_s},    // end overlapping the start marker
      {u"()"_s, u"("_s, u")"_s, u""_s},
      {u"|a|b|"_s, u"|"_s, u"|"_s, u"a"_s},
      {u"key=value;x"_s, u""_s, u"="_s, u"key"_s},      // empty start: from the beginning
      {u"key=value;x"_s, u"="_s, u""_s, u"value;x"_s},  // empty end: to the end
      {u"whole"_s, u""_s, u""_s, u"whole"_s},
      {u"<b>1</b><b>2</b>"_s, u"<b>"_s, u"</b>"_s, u"1"_s},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextBetween(c.text, c.start, c.end), c.expected)
        << c.text.toStdString() << " / " << c.start.toStdString() << " / " << c.end.toStdString();
}

TEST_F(ConversionsTest, TextAfterFirstMarkerLimitedTo999999Characters) {
  EXPECT_EQ(TextAfter(u"a=b=c"_s, u"="_s), u"b=c"_s);
  EXPECT_EQ(TextAfter(u"name: Tressaly"_s, u": "_s), u"Tressaly"_s);
  EXPECT_EQ(TextAfter(u"abc"_s, u"c"_s), u""_s);
  EXPECT_EQ(TextAfter(u"abc"_s, u"x"_s), u""_s);
  const QString longText = u"#"_s + QString(1000005, u'z');
  const QString after = TextAfter(longText, u"#"_s);
  EXPECT_EQ(after.size(), 999999);
  EXPECT_EQ(after, QString(999999, u'z'));
}

}  // namespace

TEST_F(ConversionsTest, ReadFileBytesFromAnOffset) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"bytes.bin"_s);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("\x00\x01\x02\x03\x04", 5);
  f.close();

  ReadFileBytes(path, 2);
  EXPECT_EQ(Engine().ByteBuffer, QByteArray("\x02\x03\x04", 3));
  ReadFileBytes(dir.filePath(u"missing.bin"_s), 0);  // nothing happens
  EXPECT_EQ(Engine().ByteBuffer.size(), 3);
  EXPECT_TRUE(Error().isEmpty());

  ReadFileBytes(path, 5);  // at the end: the buffer stays, message 183
  EXPECT_EQ(Engine().ByteBuffer.size(), 3);
  EXPECT_EQ(Error(), Expected(183, {5, path}));
}

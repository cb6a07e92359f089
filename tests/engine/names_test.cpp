#include <gtest/gtest.h>

#include "engine/names.h"

using namespace Qt::Literals::StringLiterals;

TEST(Names, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper(u"abc_xyz1 Жж πΣ"_s), u"ABC_XYZ1 Жж πΣ"_s);
  EXPECT_EQ(AsciiLower(u"ABC Жж"_s), u"abc Жж"_s);
  EXPECT_TRUE(SameName(u"Counter"_s, u"cOUNTER"_s));
  EXPECT_FALSE(SameName(u"Ж"_s, u"ж"_s));
  EXPECT_FALSE(SameName(u"ab"_s, u"abc"_s));
}

TEST(Names, TrimRemovesControlCharactersAndBlanksOnly) {
  EXPECT_EQ(TrimControl(u"\t\r\n x y \x01"_s), u"x y"_s);
  EXPECT_EQ(TrimControl(u"\u00A0x\u00A0"_s), u"\u00A0x\u00A0"_s);  // no-break space is kept
  EXPECT_EQ(TrimControl(u"   "_s), QString());
}

TEST(Names, IdentifierAlphabet) {
  for (QChar c : u"aZ_ΑΩαωАяπ₀₉"_s) EXPECT_TRUE(IsIdentifierStart(c)) << int(c.unicode());
  for (QChar c : u"0Ёё²$.-"_s) EXPECT_FALSE(IsIdentifierStart(c)) << int(c.unicode());
  EXPECT_TRUE(IsIdentifierChar(u'7'));
}

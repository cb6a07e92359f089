// The notation of the script-built information window: controls read line by line while the text
// begins with a keyword, the rest is the text; the two errors of a control line.
#include <gtest/gtest.h>

#include "engine/message_numbers.h"
#include "graphics/info_form.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Controls(const InformationLayout& layout) {
  QStringList out;
  for (qsizetype i = 0; i < layout.content.controls.size(); ++i) {
    const InformationControl& c = layout.content.controls[i];
    out << (c.kind == InformationControl::Kind::Button ? u"B:"_s : u"C:"_s) + c.caption + u'>' + layout.commands[i];
  }
  return out.join(u'|');
}

TEST(InformationLayout, ControlLinesThenTheText) {
  InformationLayout layout;
  ASSERT_FALSE(ParseInformationLayout(
      u"Button \"Say hi\" Message('hi \"there\"')\r\n  CHECKBOX \"Option\"  flag1 \nchecked: \"no\"\rbutton \"x\" y()"_s,
      layout));
  EXPECT_EQ(Controls(layout), u"B:Say hi>Message('hi \"there\"')|C:Option>flag1"_s);
  EXPECT_EQ(layout.content.text, u"checked: \"no\"\rbutton \"x\" y()\r"_s) << "a keyword after the text is text";

  ASSERT_FALSE(ParseInformationLayout(u"Only text"_s, layout));
  EXPECT_EQ(Controls(layout), QString());
  EXPECT_EQ(layout.content.text, u"Only text\r"_s);

  // A control line that ends the text with its line break is read.
  ASSERT_FALSE(ParseInformationLayout(u"button \"Go\" Run()\r\n"_s, layout));
  EXPECT_EQ(Controls(layout), u"B:Go>Run()"_s);
}

TEST(InformationLayout, LinesWithoutCaptionOrCommand) {
  InformationLayout layout;
  auto error = ParseInformationLayout(u"button \"  \" Run()\rtext"_s, layout);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, msg::kControlCaptionMissing);
  EXPECT_EQ(error->line, u"button \"  \" Run()"_s);
  EXPECT_EQ(error->keyword, u"button"_s);

  error = ParseInformationLayout(u"button \"Go\" Run()\rcheckbox \"Flag\"\r"_s, layout);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, msg::kControlCommandMissing);
  EXPECT_EQ(error->keyword, u"Checkbox"_s);

  error = ParseInformationLayout(u"checkbox \"Flag"_s, layout);  // no second quote
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, msg::kControlCaptionMissing);

  // The last line without a line break is read as an empty line.
  error = ParseInformationLayout(u"button \"Go\" Run()"_s, layout);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, msg::kControlCaptionMissing);
  EXPECT_EQ(error->line, QString());
}

}  // namespace

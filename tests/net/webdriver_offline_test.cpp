// The WebDriver client's parts that need no server: both reply shapes, the XPath builder and
// the outcomes of testing an XPath.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "net/page_tree.h"
#include "net/webdriver_client.h"
#include "net/webdriver_response.h"
#include "net/xpath_builder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(WebDriverResponse, LegacyRepliesAreJudgedByTheirStatus) {
  const WebDriverResponse ok = ReadWebDriverResponse(u"{\"sessionId\":\"s\",\"status\":0,\"value\":{\"ELEMENT\":\"7\"}}"_s, 200);
  EXPECT_TRUE(ok.success);
  EXPECT_EQ(ElementIdOf(ok), u"7"_s);

  // A legacy server reports failures with HTTP 200 and a non-zero status.
  const WebDriverResponse missing = ReadWebDriverResponse(
      u"{\"sessionId\":\"s\",\"status\":7,\"value\":{\"message\":\"no such element: //x\"}}"_s, 200);
  EXPECT_FALSE(missing.success);
  EXPECT_EQ(AbnormalResponseText(missing), u"Selenium abnormal response:\r\rno such element: //x"_s);

  // Not JSON at all: the texts are read the plain way.
  const WebDriverResponse cut = ReadWebDriverResponse(u"{\"status\": 13, \"value\":{\"message\":\"boom\" ..."_s, 500);
  EXPECT_FALSE(cut.success);
  EXPECT_EQ(cut.message, u"boom"_s);
  EXPECT_TRUE(ReadWebDriverResponse(u"{\"status\": 0, \"value\": trunc"_s, 200).success);
}

TEST(WebDriverResponse, W3cRepliesAreJudgedByCodeAndErrorObject) {
  const WebDriverResponse ok =
      ReadWebDriverResponse(u"{\"value\":{\"element-6066-11e4-a52e-4f735466cecf\":\"f.1.e.2\"}}"_s, 200);
  EXPECT_TRUE(ok.success);
  EXPECT_EQ(ElementIdOf(ok), u"f.1.e.2"_s);
  EXPECT_TRUE(ReadWebDriverResponse(u"{\"value\":null}"_s, 200).success);

  const WebDriverResponse error =
      ReadWebDriverResponse(u"{\"value\":{\"error\":\"no such window\",\"message\":\"window gone\"}}"_s, 404);
  EXPECT_FALSE(error.success);
  EXPECT_EQ(error.message, u"window gone"_s);
  // An error code with a body that says nothing still fails, with the body as its message.
  const WebDriverResponse bare = ReadWebDriverResponse(u"Internal error"_s, 500);
  EXPECT_FALSE(bare.success);
  EXPECT_EQ(bare.message, u"Internal error"_s);
  EXPECT_EQ(ElementIdOf(bare), QString());
}

TEST(PageScripts, TextIsEscapedForAJsonString) {
  EXPECT_EQ(JsonStringContent(u"a \"q\" \\ b\nc\td"_s), u"a \\\"q\\\" \\\\ b\\nc\\td"_s);
  EXPECT_EQ(JsonStringContent(u"ж"_s), u"ж"_s);
}

TEST(XPathBuilder, IncludedRowsBecomePredicates) {
  const QList<AttributeRow> rows = {
      {true, u"tag=a"_s, false},  // the first row is never a predicate
      {true, u"href=\"#one\""_s, false},
      {false, u"id=skipped"_s, true},
      {true, u"class=nav main"_s, true},
      {true, u"TEXT=First link"_s, false},
      {true, u"text=\"First\""_s, true},
      {true, u"data-x=a=b"_s, false},  // the value runs from the first "="
  };
  EXPECT_EQ(BuildShortXPath(u"a"_s, rows),
            u"//a[@href=\"#one\"][contains(@class,\"nav main\")][text()=\"First link\"]"
            u"[contains(text(),\"First\")][@data-x=\"a=b\"]"_s);
  EXPECT_EQ(BuildShortXPath(u"div"_s, {}), u"//div"_s);
  EXPECT_EQ(IntegratedXPath(u"  //table[@id=\"orders\"] "_s, u"//td"_s), u"//table[@id=\"orders\"]//td"_s);
}

TEST(XPathBuilder, OfferedScriptLines) {
  EXPECT_EQ(FindElementLine(u"//a[@href=\"#one\"]"_s), u"e_=Brw_ElFind('//a[@href=\"#one\"]')"_s);
  EXPECT_EQ(FindSiblingLine(u"//tr//td"_s), u"e_Row=Brw_ElFindSibl('//tr//td',e_Row)"_s);
  const QList<NamedValue> variables = {{u"a"_s, u"▲12▲"_s}, {u"row"_s, u"x▲1▲y"_s}, {u"b"_s, u"▲1▲"_s}};
  EXPECT_EQ(ParentVariableOf(variables, 1), u"row"_s);
  EXPECT_EQ(ParentVariableOf(variables, 2), QString());
  EXPECT_EQ(FindChildLine(u"//td"_s, u"row"_s), u"e_=Brw_ElFindChild('//td',row)"_s);
  EXPECT_EQ(FindChildLine(u"//td"_s, QString()), QString());
}

TEST(XPathTest, TheThreeOutcomes) {
  EXPECT_EQ(XPathTestMessage({}), u"Element isn't found!)"_s);
  EXPECT_EQ(XPathTestMessage({u"e1"_s, u"/html[1]/body[1]"_s, 3, true}), u"XPath - OK!"_s);
  EXPECT_EQ(XPathTestMessage({u"e1"_s, u"/html[1]/body[1]"_s, 3, false}),
            u"Tree element index = 3.  ID_element = e1"_s);
  EXPECT_EQ(XPathTestMessage({u"e1"_s, u"/html[1]/x[1]"_s, -1, false}),
            u"id_element = e1 ??? Nativ Chrome XPath=\"/html[1]/x[1]\" not found."_s);
}

TEST(PageTree, NodesFromJsonAndLookupByXPath) {
  QJsonArray nodes;
  nodes.append(QJsonObject{{u"tag"_s, u"html"_s}, {u"xpath"_s, u"/html[1]"_s}, {u"parent"_s, -1}, {u"level"_s, 0}});
  nodes.append(u"not a node"_s);
  nodes.append(QJsonObject{{u"tag"_s, u"body"_s}, {u"xpath"_s, u"/html[1]/body[1]"_s}, {u"parent"_s, 0},
                           {u"level"_s, 1}, {u"nodeType"_s, 1}});
  const PageTree tree = PageTreeFromJson(nodes);
  ASSERT_EQ(tree.size(), 2);
  EXPECT_EQ(tree[1].parent, 0);
  EXPECT_EQ(tree[1].nodeType, u"1"_s);
  EXPECT_EQ(NodeIndexOfXPath(tree, u"/html[1]/body[1]"_s), 1);
  EXPECT_EQ(NodeIndexOfXPath(tree, u"\\/html[1]\\/body[1]"_s), 1);  // backslashes dropped
  EXPECT_EQ(NodeIndexOfXPath(tree, u"/html[1]/p[1]"_s), -1);
  // The same as JSON text, as the page sends it; text that is not an array gives no nodes.
  EXPECT_EQ(PageTreeFromJson(QString::fromUtf8(QJsonDocument(nodes).toJson())).size(), 2);
  EXPECT_TRUE(PageTreeFromJson(u"{\"tag\": \"cut"_s).isEmpty());

  QJsonArray many;
  for (int i = 0; i < kMaxPageNodes + 5; ++i) many.append(QJsonObject{{u"tag"_s, u"p"_s}});
  EXPECT_EQ(PageTreeFromJson(many).size(), kMaxPageNodes);
}

TEST(PageTree, AttributesOfTheStartTag) {
  PageNode link;
  link.outerHTML = u"<a href=\"#one\" title='Say \"hi\"' data-n=5 hidden data-gt=\"a>b\">First <b>link</b></a>"_s;
  link.text = u"First"_s;
  EXPECT_EQ(NodeAttributeTexts(link),
            QStringList({u"href=\"#one\""_s, u"title=\"Say \"hi\"\""_s, u"data-n=5"_s, u"hidden="_s,
                         u"data-gt=\"a>b\""_s, u"text=First"_s}));
  PageNode bare;
  bare.outerHTML = u"<br>"_s;
  EXPECT_TRUE(NodeAttributeTexts(bare).isEmpty());
  bare.outerHTML = u"<p class=\"unclosed"_s;  // cut short: nothing is lost, nothing breaks
  EXPECT_EQ(NodeAttributeTexts(bare), QStringList({u"class=\"unclosed"_s}));
}

}  // namespace

// The WebDriver client against a real headless Chromium: chromedriver started on
// 127.0.0.1:4444 (base path /wd/hub) for the whole program, one session on the shipped page.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "engine/program_folder.h"
#include "net/webdriver_client.h"
#include "net/webdriver_server.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString PageUrl() {
  return QUrl::fromLocalFile(QStringLiteral(TRESSALY_TEST_PAGES) + u"/inspector_page.html"_s).toString();
}

// Runs a script of the test's own through the W3C path (for changing the page).
void RunPageScript(WebDriverClient& client, const QString& script) {
  const QJsonObject body{{u"script"_s, script}, {u"args"_s, QJsonArray()}};
  ASSERT_TRUE(client.Post(u"/execute/sync"_s, QJsonDocument(body).toJson()).success) << client.lastError().toStdString();
}

class BrowserTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QStandardPaths::findExecutable(u"chromedriver"_s).isEmpty() ||
        QStandardPaths::findExecutable(u"chromium"_s).isEmpty()) {
      skipReason_ = "chromium and chromium-driver are not installed (scripts/deps.sh installs them)";
      return;
    }
    QString error;
    if (!EnsureLocalWebDriverServer(&error)) {
      failure_ = error.toStdString();
      return;
    }
    sessionId_ = CreateChromeSession(WebDriverServerUrl(), {u"--headless=new"_s, u"--no-sandbox"_s}, &error);
    if (sessionId_.isEmpty()) failure_ = "no session: " + error.toStdString();
  }
  static void TearDownTestSuite() {
    if (!sessionId_.isEmpty()) WebDriverClient(SessionUrlOf(sessionId_)).Delete({});
    StopLocalWebDriverServer();
  }
  void SetUp() override {
    if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    ASSERT_TRUE(failure_.empty()) << failure_;
    const QJsonObject url{{u"url"_s, PageUrl()}};
    ASSERT_TRUE(client.Post(u"/url"_s, QJsonDocument(url).toJson()).success) << client.lastError().toStdString();
  }

  static inline std::string skipReason_;
  static inline std::string failure_;
  static inline QString sessionId_;
  WebDriverClient client{SessionUrlOf(sessionId_)};
};

TEST_F(BrowserTest, FindsElementsByXPathWithQuotes) {
  const QString id = client.FindElement(u"//a[@title='Say \"hi\"']"_s, false);
  EXPECT_FALSE(id.isEmpty()) << client.lastError().toStdString();
  EXPECT_FALSE(client.FindElement(u"//td[@class=\"price\"]"_s, false).isEmpty());
}

TEST_F(BrowserTest, MissingElementGivesTheServersW3cError) {
  EXPECT_EQ(client.FindElement(u"//section[@id=\"none\"]"_s, true), QString());
  const QString error = client.lastError();
  EXPECT_TRUE(error.startsWith(u"Selenium abnormal response:\r\rno such element"_s)) << error.toStdString();
  // The next success clears it.
  EXPECT_FALSE(client.FindElement(u"//p"_s, false).isEmpty());
  EXPECT_EQ(client.lastError(), QString());
}

TEST_F(BrowserTest, MarkedElementIsFoundAgainWithItsPageXPath) {
  const QString id = client.FindElement(u"//tr[2]/td[@class=\"price\"]"_s, true);
  ASSERT_FALSE(id.isEmpty()) << client.lastError().toStdString();
  // Chromium puts rows into an implied tbody.
  EXPECT_EQ(client.XPathOfElement(id), u"/html[1]/body[1]/table[1]/tbody[1]/tr[2]/td[2]"_s)
      << client.lastError().toStdString();
  EXPECT_EQ(client.XPathOfElement(u"never-marked"_s), QString());
}

TEST_F(BrowserTest, PageTreeMatchesThePagesOwnXPaths) {
  const PageTree tree = client.LoadPageTree();
  ASSERT_GE(tree.size(), 15) << client.lastError().toStdString();
  EXPECT_EQ(tree[0].tag, u"html"_s);
  EXPECT_EQ(tree[0].parent, -1);
  const int link = NodeIndexOfXPath(tree, u"/html[1]/body[1]/div[1]/a[2]"_s);
  ASSERT_GT(link, 0);
  EXPECT_EQ(tree[link].text, u"Second link"_s);
  EXPECT_EQ(tree[link].level, 3);
  EXPECT_EQ(tree[tree[link].parent].tag, u"div"_s);
  EXPECT_TRUE(tree[link].outerHTML.startsWith(u"<a href=\"#two\""_s));

  const QString id = client.FindElement(u"//p[contains(text(),\"note\")]"_s, true);
  EXPECT_EQ(NodeIndexOfXPath(tree, client.XPathOfElement(id)), NodeIndexOfXPath(tree, u"/html[1]/body[1]/p[1]"_s));
}

TEST_F(BrowserTest, TestXPathOutcomes) {
  const PageTree tree = client.LoadPageTree();
  const int note = NodeIndexOfXPath(tree, u"/html[1]/body[1]/p[1]"_s);
  ASSERT_GT(note, 0);

  EXPECT_EQ(XPathTestMessage(TestXPath(client, tree, u"//p[@class=\"none\"]"_s, note)), u"Element isn't found!)"_s);
  EXPECT_EQ(XPathTestMessage(TestXPath(client, tree, u"//p[@class=\"note\"]"_s, note)), u"XPath - OK!"_s);
  const XPathTestResult other = TestXPath(client, tree, u"//div[@id=\"menu\"]"_s, note);
  EXPECT_EQ(other.treeIndex, NodeIndexOfXPath(tree, u"/html[1]/body[1]/div[1]"_s));
  EXPECT_EQ(XPathTestMessage(other), u"Tree element index = %1.  ID_element = %2"_s.arg(other.treeIndex).arg(other.elementId));

  // An element added after the tree was loaded is on the page but not in the tree.
  RunPageScript(client, u"var s = document.createElement('section'); document.body.prepend(s);"_s);
  const XPathTestResult added = TestXPath(client, tree, u"//section"_s, note);
  EXPECT_EQ(XPathTestMessage(added), u"id_element = %1 ??? Nativ Chrome XPath=\"/html[1]/body[1]/section[1]\" not found."_s
                                         .arg(added.elementId));
}

TEST_F(BrowserTest, DeadSessionAndServerAreClearFailures) {
  WebDriverClient gone(SessionUrlOf(u"no-such-session"_s));
  EXPECT_EQ(gone.FindElement(u"//p"_s, true), QString());
  EXPECT_TRUE(gone.lastError().startsWith(u"Selenium abnormal response:\r\rinvalid session id"_s))
      << gone.lastError().toStdString();
  EXPECT_TRUE(gone.LoadPageTree().isEmpty());

  WebDriverClient nowhere(u"http://127.0.0.1:9/wd/hub/session/x"_s);
  nowhere.setTimeout(3000);
  EXPECT_EQ(nowhere.FindElement(u"//p"_s, false), QString());
  EXPECT_TRUE(nowhere.lastError().contains(u"No WebDriver server"_s)) << nowhere.lastError().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir home;
  qputenv("TRESSALY_HOME", home.path().toUtf8());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The element inspector in the real window on an X display, over a headless Chromium driven by
// chromedriver on 127.0.0.1:4444: opened from the help menu, an element picked in the tree and
// by a click in the page, XPath built from ticked attributes and a relative, tested, and an
// offered line inserted into the editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <memory>

#include "engine/engine_state.h"
#include "ide/element_inspector.h"
#include "ide/help_menu.h"
#include "ide/main_window.h"
#include "ide/script_editor.h"
#include "ide/settings_file.h"
#include "ide/window_actions.h"
#include "net/webdriver_server.h"

using namespace Qt::Literals::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

QString PageUrl() {
  return QUrl::fromLocalFile(QStringLiteral(TRESSALY_TEST_PAGES) + u"/inspector_page.html"_s).toString();
}

template <typename T>
T* Child(QWidget* parent, const QString& name) {
  T* child = parent->findChild<T*>(name);
  EXPECT_TRUE(child) << name.toStdString();
  return child;
}

void ClickCell(QTableWidget* table, int row, int column) {
  const QRect cell = table->visualItemRect(table->item(row, column));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
}

int RowStartingWith(QTableWidget* table, int column, const QString& text) {
  for (int row = 0; row < table->rowCount(); ++row)
    if (table->item(row, column)->text().startsWith(text)) return row;
  return -1;
}

void ClickTreeNode(QTreeWidget* view, int index) {
  for (QTreeWidgetItemIterator it(view); *it; ++it)
    if ((*it)->data(0, Qt::UserRole).toInt() == index) {
      view->scrollToItem(*it);
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(*it).center());
      return;
    }
  ADD_FAILURE() << "no tree item " << index;
}

bool BrowserInstalled() {
  return !QStandardPaths::findExecutable(u"chromedriver"_s).isEmpty() &&
         !QStandardPaths::findExecutable(u"chromium"_s).isEmpty();
}
constexpr char kNoBrowser[] = "chromium and chromium-driver are not installed (scripts/deps.sh installs them)";

// Runs first: the settings file is read once, at the first connection.
TEST(InspectorWindow, UsesTheSessionOfTheSettingsFile) {
  if (!BrowserInstalled()) GTEST_SKIP() << kNoBrowser;
  QString error;
  ASSERT_TRUE(EnsureLocalWebDriverServer(&error)) << error.toStdString();
  const QString session = CreateChromeSession(WebDriverServerUrl(), {u"--headless=new"_s, u"--no-sandbox"_s}, &error);
  ASSERT_FALSE(session.isEmpty()) << error.toStdString();
  IniFile settings;
  settings.SetString(u"WorkingOptions", u"ID_session", session);
  ASSERT_TRUE(settings.Save(ProgramSettingsPath()));
  {
    TForm_Interpretator window{QStringList()};
    window.openElementInspector();
    ASSERT_TRUE(window.elementInspector()->client());
    EXPECT_EQ(window.elementInspector()->client()->sessionUrl(), SessionUrlOf(session));
    EXPECT_EQ(window.elementInspector()->tree().size(), 3);  // about:blank: html, head, body
  }
  // The session was not the inspector's: it lives on.
  WebDriverClient client(SessionUrlOf(session));
  EXPECT_TRUE(client.Get(u"/url"_s).success) << client.lastError().toStdString();
  client.Delete({});
  StopLocalWebDriverServer();
}

// The session of the settings file is gone by now: the inspector starts its own.
TEST(InspectorWindow, FromTheHelpMenuToALineInTheEditor) {
  if (!BrowserInstalled()) GTEST_SKIP() << kNoBrowser;
  ResetEngine();
  auto owner = std::make_unique<TForm_Interpretator>(QStringList());
  TForm_Interpretator& window = *owner;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.editor()->setText(u"a = 1\nb = 2\n"_s);
  window.editor()->setCursorPosition(0, 2);
  window.action(WindowAction::Step)->setEnabled(false);

  ElementInspector* inspector = window.elementInspector();
  inspector->setChromeArguments({u"--headless=new"_s, u"--no-sandbox"_s});
  QAction* item = window.helpMenu()->findChild<QAction*>(u"ElementInspectorItem"_s);
  ASSERT_TRUE(item);
  item->trigger();
  ASSERT_TRUE(inspector->client()) << inspector->statusText().toStdString();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(inspector));

  // The page is opened from the address line.
  auto* address = Child<QLineEdit>(inspector, u"Address"_s);
  address->setText(PageUrl());
  QTest::mouseClick(Child<QPushButton>(inspector, u"Open"_s), Qt::LeftButton);
  ASSERT_GT(inspector->tree().size(), 10) << inspector->statusText().toStdString();

  // Picked in the tree: the first link, its attributes in the grid.
  const int link = NodeIndexOfXPath(inspector->tree(), u"/html[1]/body[1]/div[1]/a[1]"_s);
  ClickTreeNode(Child<QTreeWidget>(inspector, u"PageTree"_s), link);
  ASSERT_EQ(inspector->selectedNode(), link);
  auto* attributes = Child<QTableWidget>(inspector, u"Attributes"_s);
  EXPECT_EQ(attributes->item(0, 1)->text(), u"tag=a"_s);
  EXPECT_EQ(inspector->shortXPath(), u"//a"_s);
  ClickCell(attributes, 0, 0);  // the tag row has no marks
  EXPECT_EQ(inspector->shortXPath(), u"//a"_s);
  const int href = RowStartingWith(attributes, 1, u"href="_s);
  const int text = RowStartingWith(attributes, 1, u"text="_s);
  ASSERT_GT(href, 0);
  ASSERT_GT(text, 0);
  ClickCell(attributes, href, 0);
  EXPECT_EQ(inspector->shortXPath(), u"//a[@href=\"#one\"]"_s);
  ClickCell(attributes, text, 0);
  ClickCell(attributes, text, 2);
  EXPECT_EQ(inspector->shortXPath(), u"//a[@href=\"#one\"][contains(text(),\"First link\")]"_s);
  EXPECT_EQ(attributes->item(text, 2)->checkState(), Qt::Checked);

  QTest::mouseClick(Child<QPushButton>(inspector, u"TestShort"_s), Qt::LeftButton);
  EXPECT_EQ(inspector->statusText(), u"XPath - OK!"_s);

  // A relative makes the initial XPath: the menu div by its id.
  auto* relatives = Child<QTableWidget>(inspector, u"Relatives"_s);
  ASSERT_EQ(relatives->rowCount(), 3);  // div, body, html
  EXPECT_EQ(relatives->item(0, 0)->text(), u"1"_s);
  ClickCell(relatives, 0, 1);
  EXPECT_EQ(inspector->integratedXPath(), u"//div[@id=\"menu\"]//a[@href=\"#one\"][contains(text(),\"First link\")]"_s);
  QTest::mouseClick(Child<QPushButton>(inspector, u"TestIntegrated"_s), Qt::LeftButton);
  EXPECT_EQ(inspector->statusText(), u"XPath - OK!"_s);

  // Find child without a variable holding the relative's mark: the warning box.
  QString warning;
  QTimer::singleShot(300, [&warning] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      warning = box->text();
      box->accept();
    }
  });
  QTest::mouseClick(Child<QPushButton>(inspector, u"OfferFindChild"_s), Qt::LeftButton);
  EXPECT_EQ(warning, u"Parent wariable is not found."_s);

  // Picked by a click in the page: the note paragraph.
  WebDriverClient* client = inspector->client();
  const QString note = client->FindElement(u"//p"_s, false);
  ASSERT_FALSE(note.isEmpty());
  auto* pick = Child<QPushButton>(inspector, u"PickInPage"_s);
  QTest::mouseClick(pick, Qt::LeftButton);
  ASSERT_TRUE(pick->isChecked());
  QTest::qWait(800);  // the first look installs the page's click watcher
  ASSERT_TRUE(client->Post(u"/element/"_s + note + u"/click"_s, "{}").success) << client->lastError().toStdString();
  const int noteIndex = NodeIndexOfXPath(inspector->tree(), u"/html[1]/body[1]/p[1]"_s);
  EXPECT_TRUE(QTest::qWaitFor([&] { return inspector->selectedNode() == noteIndex; }, 5000));
  QTest::mouseClick(pick, Qt::LeftButton);
  EXPECT_EQ(inspector->shortXPath(), u"//p"_s);

  // The offered line goes after the editor's current line; the inspector closes.
  auto* insertionPanel = Child<QWidget>(inspector, u"InsertionPanel"_s);
  EXPECT_FALSE(insertionPanel->isVisible());
  QTest::mouseClick(Child<QPushButton>(inspector, u"OfferFind"_s), Qt::LeftButton);
  EXPECT_TRUE(insertionPanel->isVisible());
  EXPECT_EQ(inspector->offeredLine(), u"e_=Brw_ElFind('//p')"_s);
  QTest::mouseClick(Child<QPushButton>(inspector, u"InsertAfterCurrentLine"_s), Qt::LeftButton);
  EXPECT_EQ(window.editor()->text(), u"a = 1\ne_=Brw_ElFind('//p')\nb = 2\n"_s);
  EXPECT_FALSE(inspector->isVisible());
  EXPECT_TRUE(insertionPanel->isHidden());
  EXPECT_TRUE(window.action(WindowAction::Step)->isEnabled());

  // Opened again, the inspector offers lines anew; only the insertion panel waits for one.
  item->trigger();
  EXPECT_TRUE(inspector->isVisible());
  EXPECT_FALSE(insertionPanel->isVisible());
  QTest::mouseClick(Child<QPushButton>(inspector, u"OfferFindSibling"_s), Qt::LeftButton);
  EXPECT_TRUE(insertionPanel->isVisible());
  // (The initial XPath stays the relative chosen before.)
  EXPECT_EQ(inspector->offeredLine(), u"e_Row=Brw_ElFindSibl('//div[@id=\"menu\"]//p',e_Row)"_s);

  // The session and the chromedriver the inspector started end with the window.
  owner.reset();
  WebDriverClient server(WebDriverServerUrl());
  server.setTimeout(2000);
  EXPECT_FALSE(server.Get(u"/status"_s).success);
}

}  // namespace

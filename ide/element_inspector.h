// The element inspector: a tool window over a page in a browser driven by a WebDriver server.
// The user picks an element in the page tree or by clicking it in the page, ticks attributes
// into an XPath, tests it against the page and inserts an offered script line into the editor.
#pragma once

#include <QStringList>
#include <memory>
#include <QWidget>

#include "net/page_tree.h"
#include "net/webdriver_client.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class ScriptEditor;

class ElementInspector : public QWidget {
  Q_OBJECT

 public:
  // `stepAction` is enabled again when a line is inserted.
  ElementInspector(ScriptEditor* editor, QAction* stepAction, QWidget* mainWindow);
  // A browser session the inspector started ends with it, and so does its chromedriver.
  ~ElementInspector() override;

  // Chrome's command-line arguments for a session the inspector starts itself.
  void setChromeArguments(const QStringList& arguments) { chromeArguments_ = arguments; }
  // Uses the session of the settings file when it answers, else starts chromedriver on port
  // 4444 and a session; then loads the page tree. False with the reason in the status line.
  bool connectToBrowser();
  // Opens `url` in the browser and loads its tree.
  void openPage(const QString& url);
  void reloadTree();
  // Selects tree node `index`, filling the attribute and relatives grids.
  void selectNode(int index);
  // Looks once for an element clicked in the page and selects it.
  void pickClickedElement();

  WebDriverClient* client() { return client_.get(); }
  const PageTree& tree() const { return tree_; }
  int selectedNode() const { return selected_; }
  QString statusText() const;
  QString shortXPath() const;
  QString integratedXPath() const;
  QString offeredLine() const;

 private:
  class BusyScope;
  void buildLayout();
  void fillTree();
  void fillAttributes();
  void fillRelatives();
  void rebuildXPath();
  void onAttributeClicked(int row, int column);
  void testXPath(const QString& xpath);
  void offerFindElement(bool integrated);
  void offerFindChild();
  void offerFindSibling();
  void offer(const QString& line);
  void insertAfterCurrentLine();
  void showStatus(const QString& text);
  void showClientError();

  ScriptEditor* editor_;
  QAction* stepAction_;
  QWidget* mainWindow_;
  QStringList chromeArguments_;
  std::unique_ptr<WebDriverClient> client_;
  bool ownSession_ = false;
  int busyDepth_ = 0;  // requests under way
  PageTree tree_;
  int selected_ = -1;
  QString currentTag_;

  QLineEdit* address_;
  QTreeWidget* treeView_;
  QTableWidget* attributes_;
  QTableWidget* relatives_;
  QLineEdit* short_;
  QLineEdit* initial_;
  QLineEdit* integrated_;
  QWidget* insertionPanel_;
  QLineEdit* line_;
  QPushButton* pick_;
  QTimer* pickTimer_;
  QLabel* status_;
};

#include "ide/element_inspector.h"

#include <unistd.h>

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "engine/engine_state.h"
#include "engine/local_texts.h"
#include "ide/script_editor.h"
#include "net/webdriver_server.h"
#include "net/xpath_builder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

enum AttributeColumn { kInclude = 0, kAttribute = 1, kContains = 2 };

QTableWidgetItem* MarkItem(bool checked) {
  auto* item = new QTableWidgetItem;
  item->setFlags(Qt::ItemIsEnabled);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

QTableWidgetItem* TextItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QString OneLine(const QString& text, int length) { return text.simplified().left(length); }

// A short XPath of a relative: by its id when it has one, else its absolute XPath.
QString RelativeXPath(const PageNode& node) {
  for (const QString& a : NodeAttributeTexts(node))
    if (a.startsWith(u"id="_s)) {
      QString id = a.mid(3);
      if (id.startsWith(u'"')) id = id.mid(1, id.size() - 2);
      return u"//"_s + node.tag + u"[@id=\""_s + id + u"\"]"_s;
    }
  return node.xpath;
}

QPushButton* Button(const QString& english, const QString& russian, QWidget* parent, const char* name) {
  auto* button = new QPushButton(Bilingual(english, russian), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

// While a request waits, events are processed (the window paints, the Pause key is seen): the
// inspector takes no clicks meanwhile, so no second request starts inside the first.
class ElementInspector::BusyScope {
 public:
  explicit BusyScope(ElementInspector* inspector) : inspector_(inspector) {
    if (inspector_->busyDepth_++ == 0) inspector_->setEnabled(false);
  }
  ~BusyScope() {
    if (--inspector_->busyDepth_ == 0) inspector_->setEnabled(true);
  }

 private:
  ElementInspector* inspector_;
};

ElementInspector::ElementInspector(ScriptEditor* editor, QAction* stepAction, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), editor_(editor), stepAction_(stepAction), mainWindow_(mainWindow) {
  setObjectName(u"ElementInspector"_s);
  setWindowTitle(Bilingual(u"Element inspector"_s, u"Инспектор элементов"_s));
  if (geteuid() == 0) chromeArguments_ << u"--no-sandbox"_s;  // Chrome refuses root otherwise
  buildLayout();
  resize(1000, 700);
}

ElementInspector::~ElementInspector() {
  if (!ownSession_) return;
  client_->setTimeout(5000);
  client_->Delete({});
  StopLocalWebDriverServer();
}

void ElementInspector::buildLayout() {
  auto* connectButton = Button(u"Connect"_s, u"Подключиться"_s, this, "Connect");
  address_ = new QLineEdit(this);
  address_->setObjectName(u"Address"_s);
  address_->setPlaceholderText(u"https://…"_s);
  auto* openButton = Button(u"Open"_s, u"Открыть"_s, this, "Open");
  auto* reloadButton = Button(u"Reload tree"_s, u"Обновить дерево"_s, this, "ReloadTree");
  pick_ = Button(u"Pick in page"_s, u"Выбрать на странице"_s, this, "PickInPage");
  pick_->setCheckable(true);
  pickTimer_ = new QTimer(this);
  pickTimer_->setInterval(500);
  connect(connectButton, &QPushButton::clicked, this, &ElementInspector::connectToBrowser);
  connect(openButton, &QPushButton::clicked, this, [this] { openPage(address_->text().trimmed()); });
  connect(address_, &QLineEdit::returnPressed, this, [this] { openPage(address_->text().trimmed()); });
  connect(reloadButton, &QPushButton::clicked, this, &ElementInspector::reloadTree);
  connect(pick_, &QPushButton::toggled, this, [this](bool on) { on ? pickTimer_->start() : pickTimer_->stop(); });
  connect(pickTimer_, &QTimer::timeout, this, &ElementInspector::pickClickedElement);
  auto* top = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{connectButton, address_, openButton, reloadButton, pick_})
    top->addWidget(w);

  treeView_ = new QTreeWidget(this);
  treeView_->setObjectName(u"PageTree"_s);
  treeView_->setHeaderHidden(true);
  connect(treeView_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) selectNode(item->data(0, Qt::UserRole).toInt());
  });

  attributes_ = new QTableWidget(0, 3, this);
  attributes_->setObjectName(u"Attributes"_s);
  attributes_->setHorizontalHeaderLabels({u"+"_s, Bilingual(u"Attribute"_s, u"Атрибут"_s), u"contains"_s});
  attributes_->horizontalHeader()->setSectionResizeMode(kAttribute, QHeaderView::Stretch);
  attributes_->verticalHeader()->hide();
  connect(attributes_, &QTableWidget::cellClicked, this, &ElementInspector::onAttributeClicked);

  relatives_ = new QTableWidget(0, 3, this);
  relatives_->setObjectName(u"Relatives"_s);
  relatives_->setHorizontalHeaderLabels({u"Nom"_s, u"XPath"_s, u"HTML"_s});
  relatives_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  relatives_->verticalHeader()->hide();
  relatives_->setSelectionBehavior(QAbstractItemView::SelectRows);
  connect(relatives_, &QTableWidget::cellClicked, this, [this](int row) {
    initial_->setText(relatives_->item(row, 1)->text());
    rebuildXPath();
  });

  short_ = new QLineEdit(this);
  initial_ = new QLineEdit(this);
  integrated_ = new QLineEdit(this);
  short_->setObjectName(u"ShortXPath"_s);
  initial_->setObjectName(u"InitialXPath"_s);
  integrated_->setObjectName(u"IntegratedXPath"_s);
  short_->setReadOnly(true);
  integrated_->setReadOnly(true);
  connect(initial_, &QLineEdit::textEdited, this, &ElementInspector::rebuildXPath);
  auto* testShort = Button(u"Test XPath"_s, u"Проверить XPath"_s, this, "TestShort");
  auto* testIntegrated = Button(u"Test XPath"_s, u"Проверить XPath"_s, this, "TestIntegrated");
  connect(testShort, &QPushButton::clicked, this, [this] { testXPath(short_->text()); });
  connect(testIntegrated, &QPushButton::clicked, this, [this] { testXPath(integrated_->text()); });
  auto* xpaths = new QGridLayout;
  const QString captions[3] = {Bilingual(u"Short XPath"_s, u"Короткий XPath"_s),
                               Bilingual(u"Initial XPath"_s, u"Начальный XPath"_s),
                               Bilingual(u"Integrated XPath"_s, u"Полный XPath"_s)};
  QLineEdit* fields[3] = {short_, initial_, integrated_};
  for (int row = 0; row < 3; ++row) {
    xpaths->addWidget(new QLabel(captions[row], this), row, 0);
    xpaths->addWidget(fields[row], row, 1);
  }
  xpaths->addWidget(testShort, 0, 2);
  xpaths->addWidget(testIntegrated, 2, 2);

  // The offer buttons fill the insertion panel (the line and its button), hidden until then.
  insertionPanel_ = new QWidget(this);
  insertionPanel_->setObjectName(u"InsertionPanel"_s);
  insertionPanel_->hide();
  auto* offers = new QHBoxLayout;
  auto* findShort = Button(u"Find element"_s, u"Найти элемент"_s, this, "OfferFind");
  auto* findIntegrated = Button(u"Find (integrated)"_s, u"Найти (полный)"_s, this, "OfferFindIntegrated");
  auto* findChild = Button(u"Find child"_s, u"Найти потомка"_s, this, "OfferFindChild");
  auto* findSibling = Button(u"Find sibling"_s, u"Найти соседа"_s, this, "OfferFindSibling");
  connect(findShort, &QPushButton::clicked, this, [this] { offerFindElement(false); });
  connect(findIntegrated, &QPushButton::clicked, this, [this] { offerFindElement(true); });
  connect(findChild, &QPushButton::clicked, this, &ElementInspector::offerFindChild);
  connect(findSibling, &QPushButton::clicked, this, &ElementInspector::offerFindSibling);
  for (QWidget* w : std::initializer_list<QWidget*>{findShort, findIntegrated, findChild, findSibling}) offers->addWidget(w);
  line_ = new QLineEdit(insertionPanel_);
  line_->setObjectName(u"OfferedLine"_s);
  auto* insert = new QPushButton(u"Insert after current line"_s, insertionPanel_);
  insert->setObjectName(u"InsertAfterCurrentLine"_s);
  connect(insert, &QPushButton::clicked, this, &ElementInspector::insertAfterCurrentLine);
  auto* insertion = new QHBoxLayout(insertionPanel_);
  insertion->setContentsMargins(0, 0, 0, 0);
  insertion->addWidget(line_);
  insertion->addWidget(insert);

  status_ = new QLabel(this);
  status_->setObjectName(u"Status"_s);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* grids = new QSplitter(Qt::Vertical, this);
  grids->addWidget(attributes_);
  grids->addWidget(relatives_);
  auto* split = new QSplitter(this);
  split->addWidget(treeView_);
  split->addWidget(grids);
  split->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(split, 1);
  layout->addLayout(xpaths);
  layout->addLayout(offers);
  layout->addWidget(insertionPanel_);
  layout->addWidget(status_);
}

bool ElementInspector::connectToBrowser() {
  const BusyScope busy(this);
  const QString saved = StartupBrowserSettings().sessionId;
  if (!saved.isEmpty()) {
    client_ = std::make_unique<WebDriverClient>(SessionUrlOf(saved));
    client_->setTimeout(5000);
    if (client_->Get(u"/url"_s).success) {
      client_->setTimeout(30000);
      reloadTree();
      return true;
    }
  }
  showStatus(Bilingual(u"Starting the browser…"_s, u"Запуск браузера…"_s));
  QString error;
  if (!EnsureLocalWebDriverServer(&error)) {
    showStatus(error);
    return false;
  }
  const QString session = CreateChromeSession(WebDriverServerUrl(), chromeArguments_, &error);
  if (session.isEmpty()) {
    showStatus(error);
    return false;
  }
  client_ = std::make_unique<WebDriverClient>(SessionUrlOf(session));
  ownSession_ = true;
  reloadTree();
  return true;
}

void ElementInspector::openPage(const QString& url) {
  const BusyScope busy(this);
  if ((!client_ && !connectToBrowser()) || url.isEmpty()) return;
  if (!client_->Post(u"/url"_s, QJsonDocument(QJsonObject{{u"url"_s, url}}).toJson()).success) return showClientError();
  reloadTree();
}

void ElementInspector::reloadTree() {
  const BusyScope busy(this);
  if (!client_) return;
  tree_ = client_->LoadPageTree();
  if (!client_->lastError().isEmpty()) return showClientError();
  fillTree();
  showStatus(Bilingual(u"%1 elements."_s, u"Элементов: %1."_s).arg(tree_.size()));
}

void ElementInspector::fillTree() {
  treeView_->clear();
  selected_ = -1;
  QList<QTreeWidgetItem*> items;
  items.reserve(tree_.size());
  for (int i = 0; i < tree_.size(); ++i) {
    const PageNode& node = tree_[i];
    const int parent = node.parent;
    QTreeWidgetItem* item = parent >= 0 && parent < i ? new QTreeWidgetItem(items[parent])
                                                      : new QTreeWidgetItem(treeView_);
    item->setText(0, node.text.isEmpty() ? node.tag : node.tag + u"  "_s + OneLine(node.text, 60));
    item->setToolTip(0, node.xpath);
    item->setData(0, Qt::UserRole, i);
    items.append(item);
  }
  treeView_->expandToDepth(2);
}

void ElementInspector::selectNode(int index) {
  if (index < 0 || index >= tree_.size()) return;
  selected_ = index;
  QTreeWidgetItem* item = nullptr;
  for (QTreeWidgetItemIterator it(treeView_); *it; ++it)
    if ((*it)->data(0, Qt::UserRole).toInt() == index) {
      item = *it;
      break;
    }
  if (item && treeView_->currentItem() != item) {
    const QSignalBlocker quiet(treeView_);
    treeView_->setCurrentItem(item);
    treeView_->scrollToItem(item);
  }
  currentTag_ = tree_[index].tag;
  fillAttributes();
  fillRelatives();
  rebuildXPath();
}

void ElementInspector::fillAttributes() {
  const QStringList texts = QStringList{u"tag="_s + currentTag_} + NodeAttributeTexts(tree_[selected_]);
  attributes_->setRowCount(int(texts.size()));
  for (int row = 0; row < texts.size(); ++row) {
    attributes_->setItem(row, kInclude, row == 0 ? TextItem({}) : MarkItem(false));
    attributes_->setItem(row, kAttribute, TextItem(texts[row]));
    attributes_->setItem(row, kContains, row == 0 ? TextItem({}) : MarkItem(false));
  }
  attributes_->resizeColumnToContents(kInclude);
  attributes_->resizeColumnToContents(kContains);
}

void ElementInspector::fillRelatives() {
  relatives_->setRowCount(0);
  int n = 0;
  for (int i = tree_[selected_].parent; i >= 0 && i < tree_.size(); i = tree_[i].parent) {
    relatives_->insertRow(n);
    relatives_->setItem(n, 0, TextItem(QString::number(n + 1)));
    relatives_->setItem(n, 1, TextItem(RelativeXPath(tree_[i])));
    relatives_->setItem(n, 2, TextItem(OneLine(tree_[i].outerHTML, 200)));
    ++n;
    if (tree_[i].parent >= i) break;  // a malformed tree never loops
  }
  relatives_->resizeColumnToContents(1);
}

void ElementInspector::onAttributeClicked(int row, int column) {
  if (row < 1 || (column != kInclude && column != kContains)) return;
  QTableWidgetItem* mark = attributes_->item(row, column);
  mark->setCheckState(mark->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
  rebuildXPath();
}

void ElementInspector::rebuildXPath() {
  QList<AttributeRow> rows;
  for (int row = 0; row < attributes_->rowCount(); ++row)
    rows.append({attributes_->item(row, kInclude)->checkState() == Qt::Checked,
                 attributes_->item(row, kAttribute)->text(),
                 attributes_->item(row, kContains)->checkState() == Qt::Checked});
  short_->setText(BuildShortXPath(currentTag_, rows));
  integrated_->setText(IntegratedXPath(initial_->text(), short_->text()));
}

void ElementInspector::testXPath(const QString& xpath) {
  if (!client_) return showStatus(Bilingual(u"Not connected to a browser."_s, u"Нет связи с браузером."_s));
  const BusyScope busy(this);
  const XPathTestResult result = TestXPath(*client_, tree_, xpath, selected_);
  // A missing element is an outcome of the test; a dead session or server is not.
  const QString& error = client_->lastError();
  if (result.elementId.isEmpty() && !error.isEmpty() && !error.contains(u"no such element"_s)) return showClientError();
  if (result.treeIndex >= 0 && !result.alreadySelected) selectNode(result.treeIndex);
  showStatus(XPathTestMessage(result));
}

void ElementInspector::pickClickedElement() {
  if (!client_ || busyDepth_ > 0) return;
  const BusyScope busy(this);
  const QString xpath = ClickedElementXPath(*client_);
  if (xpath.isEmpty()) return;
  const int index = NodeIndexOfXPath(tree_, xpath);
  if (index >= 0) selectNode(index);
  else showStatus(xpath + Bilingual(u" is not in the tree; reload it."_s, u" нет в дереве; обновите его."_s));
}

void ElementInspector::offerFindElement(bool integrated) {
  offer(FindElementLine(integrated ? integrated_->text() : short_->text()));
}

void ElementInspector::offerFindChild() {
  const int row = relatives_->currentRow();
  QList<NamedValue> variables;
  for (const Tvariable& v : Engine().Variables) variables.append({v.VarName, v.Text()});
  const QString parent = ParentVariableOf(variables, row < 0 ? 0 : row + 1);
  if (parent.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), u"Parent wariable is not found."_s);
    return;
  }
  offer(FindChildLine(short_->text(), parent));
}

void ElementInspector::offerFindSibling() { offer(FindSiblingLine(integrated_->text())); }

void ElementInspector::offer(const QString& line) {
  line_->setText(line);
  insertionPanel_->show();
}

void ElementInspector::insertAfterCurrentLine() {
  const QString line = line_->text();
  if (!line.isEmpty() && editor_) {
    int current = 0, index = 0;
    editor_->getCursorPosition(&current, &index);
    if (current + 1 < editor_->QsciScintilla::lines()) {
      editor_->insertAt(line + u'\n', current + 1, 0);
    } else {
      editor_->append(u'\n' + line);
    }
    editor_->setCursorPosition(current + 1, 0);
  }
  if (stepAction_) stepAction_->setEnabled(true);
  insertionPanel_->hide();
  close();
}

QString ElementInspector::statusText() const { return status_->text(); }
QString ElementInspector::shortXPath() const { return short_->text(); }
QString ElementInspector::integratedXPath() const { return integrated_->text(); }
QString ElementInspector::offeredLine() const { return line_->text(); }

void ElementInspector::showStatus(const QString& text) { status_->setText(text); }

void ElementInspector::showClientError() {
  // An abnormal reply brings the main window to the front, as a script's error would.
  if (mainWindow_) {
    mainWindow_->raise();
    mainWindow_->activateWindow();
  }
  showStatus(client_ ? client_->lastError() : QString());
}

#include "ide/help_menu.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "unit_support/descriptions.h"
#include "ide/help_window.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRule = QString(56, u'-');

struct Category {
  int caption;  // catalogue entry of the submenu
  fType type;
  bool hidden;
};
constexpr Category kCategories[] = {
    {231, fMath, false}, {232, fStr, false},      {233, fDateTime, false}, {234, fDialog, false},
    {235, fGraph, false}, {236, fArr, false},     {237, fFile, false},     {245, fFTP, false},
    {238, fRegExp, false}, {239, fOS, false},     {240, fDataBase, false}, {241, fMatrix, false},
    {242, fBrowser, true}, {243, fExcel, false},  {246, fArduino, false},  {244, fMisc, false},
};

struct TutorialItem {
  const char16_t* caption;  // design caption
  int catalogue;            // 0: no language number
  const char16_t* name;     // "mi_" + the key's words
};
constexpr TutorialItem kTutorialItems[] = {
    {u"Assignment operator", 251, u"mi_Assignment_operator"},
    {u"Data types", 252, u"mi_Data_types"},
    {u"Operators", 253, u"mi_Operators"},
    {u"Bitwise Operators", 254, u"mi_Bitwise_Operators"},
    {u"For", 0, u"mi_For"},
    {u"Repeat", 0, u"mi_Repeat"},
    {u"Break", 0, u"mi_Break"},
    {u"BreakIf", 0, u"mi_BreakIf"},
    {u"Continue", 0, u"mi_Continue"},
    {u"ContinueIf", 0, u"mi_ContinueIf"},
    {u"If", 0, u"mi_If"},
    {u"Array", 0, u"mi_Array"},
    {u"functions", 0, u"mi_Function"},
    {u"Functions returning values", 0, u"mi_Functions_Return_Values"},
    {u"Include ", 0, u"mi_Include"},
    {nullptr, 0, nullptr},  // separator
    {u"Extended character set", 257, u"mi_Extended_Character_Set"},
    {u"Symbols for degrees and roots", 258, u"mi_Simbols_Degrees_And_Roots"},
    {u"Line continuation character", 259, u"mi_Line_Continuation_Character"},
    {u"How to ignore errors", 260, u"mi_TRY_keyword"},
    {u"Editor Tutorial", 269, u"mi_Editor_Tutorial"},
};

struct TableHeading {
  TableId table;
  int heading;  // catalogue entry
};
// The heading of a function's help by its table, in the order the help menu looks them up.
constexpr TableHeading kMenuHeadings[] = {
    {TableId::General, 32}, {TableId::JS, 35},  {TableId::Graph, 32},  {TableId::Dialog, 43},
    {TableId::DB, 39},      {TableId::OS, 32},  {TableId::FTP, 44},    {TableId::Arduino, 31},
};
// Word help asks the tables in this order; the last that knows the word wins.
constexpr TableHeading kWordHeadings[] = {
    {TableId::General, 32}, {TableId::Graph, 33}, {TableId::OS, 41},     {TableId::FTP, 44},
    {TableId::DB, 39},      {TableId::Arduino, 31}, {TableId::Dialog, 43}, {TableId::JS, 35},
};

QString HelpText(const T_FunctionDescription& d) { return d.Description()[std::size_t(LanguageIndex())]; }

void SetLanguageNumber(QAction* a, int n) {
  a->setProperty("catalogue", n);
  if (n > 0 && !MessageText(n).isEmpty()) a->setText(MessageText(n));
}

}  // namespace

const QList<TutorialTopic>& TutorialTopics() {
  static const QList<TutorialTopic> topics = [] {
    QList<TutorialTopic> list;
    QFile file(u":/tressaly/help/tutorials.json"_s);
    if (!file.open(QIODevice::ReadOnly)) return list;
    for (const QJsonValue& v : QJsonDocument::fromJson(file.readAll()).object().value(u"topics"_s).toArray()) {
      const QJsonObject o = v.toObject();
      list.append({o.value(u"key"_s).toString(), {o.value(u"en"_s).toString(), o.value(u"ru"_s).toString()}});
    }
    return list;
  }();
  return topics;
}

int FindTutorialTopic(const QString& word) {
  const QString w = word.trimmed().toLower();
  const QList<TutorialTopic>& topics = TutorialTopics();
  for (int i = 0; i < topics.size(); ++i)
    if (topics[i].key.toLower() == w) return i;
  return -1;
}

QStringList FunctionHelpLines(const QString& name) {
  for (const TableHeading& t : kMenuHeadings) {
    const DescriptionTable& table = Table(t.table);
    const int found = FindFunctionDescription(table, name);
    if (found < 0) continue;
    const T_FunctionDescription& d = MatchedEntry(table, found);
    const bool introduction = d.Formula.startsWith(u"Introduction"_s);
    QString text = MessageText(t.heading) + u'\r' +
                   (introduction ? MessageText(msg::kIntroduction) : d.Formula) + u'\r';
    if (!d.Sinonim.isEmpty()) text += MessageText(msg::kSynonymCaption) + d.Sinonim + u'\r';
    text += HelpText(d) + u"\r\n"_s + kRule + u"\r\n"_s;
    return text.split(QRegularExpression(u"\r\n|\r|\n"_s));
  }
  return {};
}

QStringList TutorialHelpLines(const QString& itemName) {
  const int topic = FindTutorialTopic(itemName.mid(3).remove(u'_'));
  if (topic < 0) return {};
  return {TutorialTopics()[topic].text[LanguageIndex()]};
}

QStringList KeywordSearchLines(const QString& answer) {
  QString rewritten = answer.trimmed();
  rewritten.replace(u' ', u',').replace(u';', u',');
  rewritten.replace(u",,"_s, u","_s).replace(u",,"_s, u","_s);
  QStringList keywords;
  for (const QString& part : rewritten.split(u','))
    if (const QString k = part.trimmed().toUpper(); !k.isEmpty()) keywords << k;
  if (keywords.isEmpty()) return {};
  QString result = MessageText(msg::kKeywordSearchHeading) + u' ' + rewritten + u'\r';
  for (TableId id : HelpTableOrder())
    for (const T_FunctionDescription& d : Table(id).entries) {
      if (d.isEmpty()) continue;
      const QString haystack = d.Formula.toUpper() + u'\n' + d.Sinonim.toUpper() + u'\n' + HelpText(d).toUpper();
      bool all = true;
      for (const QString& k : keywords) all = all && haystack.contains(k);
      if (!all) continue;
      result += d.Formula + u"\r\n"_s;
      if (!d.Sinonim.isEmpty()) result += MessageText(msg::kSynonymCaption) + d.Sinonim + u"\r\n"_s;
      result += HelpText(d) + u"\r\n"_s + kRule + u"\r\n"_s;
    }
  return result.split(QRegularExpression(u"\r\n|\r|\n"_s));
}

QString WordHelpText(const QString& word) {
  QString text;
  for (const TableHeading& t : kWordHeadings) {
    const DescriptionTable& table = Table(t.table);
    const int found = FindFunctionDescription(table, word);
    if (found < 0) continue;
    const T_FunctionDescription& d = MatchedEntry(table, found);
    const QString synonym =
        d.Sinonim.isEmpty() ? QString() : MessageText(msg::kSynonymCaption) + d.Sinonim + u".\r"_s;
    text = MessageText(t.heading) + u'\r' + d.Formula + u'\r' + synonym + HelpText(d);
  }
  const QString upper = AsciiUpper(word);
  const int function = Engine().ScriptFunctionNames.indexOf(upper);
  if (function >= 0)
    text = MessageText(msg::kScriptFunctionCaption) + u'\r' +
           Engine().ScriptFunctionHeaders.value(function);
  QString name, value;
  if (LookupConstant(word, &name, &value) >= 0)
    text = MessageText(msg::kConstantCaption) + u'\r' + name + u" = "_s + value;
  if (const int topic = FindTutorialTopic(word); topic >= 0)
    text = u"<fnt1>"_s + TutorialTopics()[topic].key + u"\r\r"_s + TutorialTopics()[topic].text[LanguageIndex()];
  return text;
}

HelpMenu::HelpMenu(TForm_help* helpWindow, QWidget* parent) : QMenu(parent), help_(helpWindow) {
  QMenu* tutorials = addMenu(u"Tutorial for Syntax"_s);
  tutorials->menuAction()->setProperty("catalogue", msg::kSyntaxTutorial);
  for (const TutorialItem& item : kTutorialItems) {
    if (!item.caption) {
      tutorials->addSeparator();
      continue;
    }
    QAction* a = tutorials->addAction(QString::fromUtf16(item.caption));
    a->setObjectName(QString::fromUtf16(item.name));
    SetLanguageNumber(a, item.catalogue);
    connect(a, &QAction::triggered, this, [this, a] { MenuFunction(a->objectName()); });
  }
  QAction* search = addAction(u"Search by keywords"_s, this, &HelpMenu::keywordSearch);
  search->setShortcut(Qt::Key_F1);
  SetLanguageNumber(search, msg::kSearchByKeywords);
  addSeparator();
  BuildFunctionHelpMenus();
  addSeparator();
  QAction* launch = addAction(u"Launch From Command Line"_s, this, [this] { MenuFunction(u"mi_Launch_From_Command_Line"_s); });
  SetLanguageNumber(launch, msg::kLaunchFromCommandLine);
  addSeparator();
  QAction* about = addAction(u"About Tressaly"_s, this, &HelpMenu::showAbout);
  SetLanguageNumber(about, msg::kAboutItem);
}

void HelpMenu::BuildFunctionHelpMenus() {
  for (const Category& c : kCategories) {
    QMenu* menu = addMenu(MessageText(c.caption));
    menu->menuAction()->setProperty("catalogue", c.caption);
    menu->menuAction()->setVisible(!c.hidden);
    categoryMenus_.append(menu);
    if (c.hidden) continue;
    for (TableId id : {TableId::General, TableId::Dialog, TableId::Graph, TableId::JS, TableId::DB, TableId::FTP,
                       TableId::OS, TableId::Arduino})
      for (const T_FunctionDescription& d : Table(id).entries) {
        if (!HasType(d.Types, c.type) || d.Formula.isEmpty()) continue;
        QString caption = d.Formula;
        if (!d.Sinonim.isEmpty())
          caption += u' ' + MessageText(msg::kSynonymCaption) + u' ' + d.Sinonim;
        auto* a = new QAction(caption, menu);
        a->setObjectName(menu->title() + u"___"_s + d.CanonicalName());
        a->setToolTip(HelpText(d));
        const bool introduction = caption.contains(u"Introduction"_s);
        if (introduction) a->setProperty("catalogue", msg::kIntroductionItem);
        connect(a, &QAction::triggered, this, [this, a] { MenuFunction(a->objectName()); });
        // Alphabetical, with a module's introduction first.
        QAction* before = nullptr;
        for (QAction* existing : menu->actions())
          if (existing->text().toLower() > caption.toLower() && !existing->text().contains(u"Introduction"_s)) {
            before = existing;
            break;
          }
        if (introduction) before = menu->actions().value(0);
        menu->insertAction(before, a);
      }
  }
}

void HelpMenu::MenuFunction(const QString& itemName) {
  const qsizetype split = itemName.indexOf(u"___"_s);
  if (split >= 0) {
    const QStringList lines = FunctionHelpLines(itemName.mid(split + 3));
    if (!lines.isEmpty()) help_->showLines(lines);
    return;
  }
  const QStringList lines = TutorialHelpLines(itemName);
  if (!lines.isEmpty()) help_->showLines(lines);  // the window names the tutorial in its caption
}

void HelpMenu::keywordSearch() {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parentWidget(), MessageText(msg::kFunctionReference),
                            MessageText(msg::kEnterKeywords), QLineEdit::Normal, QString(), &ok);
  if (!ok || answer.trimmed().size() <= 1) return;
  const QStringList lines = KeywordSearchLines(answer);
  if (!lines.isEmpty()) help_->showLines(lines);
}

void HelpMenu::showAbout() {
  QDialog about(parentWidget());
  about.resize(517, 233);
  auto* layout = new QVBoxLayout(&about);
  layout->addWidget(new QLabel(MessageText(msg::kAboutTitle)));
  auto* link = new QLabel(u"<a href=\"https://tressaly.org\"><i>tressaly.org</i></a>"_s);
  link->setOpenExternalLinks(true);
  link->setCursor(Qt::PointingHandCursor);
  layout->addWidget(link);
  about.exec();
}

void HelpMenu::applyLanguage() {
  const auto recaption = [](QAction* a) {
    const int n = a->property("catalogue").toInt();
    if (n > 0 && !MessageText(n).isEmpty()) a->setText(MessageText(n));
  };
  for (QAction* a : actions()) {
    recaption(a);
    if (QMenu* sub = a->menu())
      for (QAction* inner : sub->actions()) recaption(inner);
  }
}

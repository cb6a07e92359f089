// The help menu (tutorials, keyword search, function categories, command line, about box),
// the texts it shows, and the word help of a right click in the editor.
#pragma once

#include <QMenu>
#include <QString>
#include <QStringList>

class TForm_help;

struct TutorialTopic {
  QString key;
  QString text[2];  // English, Russian; in the marked format
};

const QList<TutorialTopic>& TutorialTopics();
// Index of the topic whose key equals the word (trimmed, any case), or -1.
int FindTutorialTopic(const QString& word);

// The help text for a function item ("category___Name"), a tutorial item ("mi_Key_Words") or
// the keyword search, as HelpLines.
QStringList FunctionHelpLines(const QString& functionName);
QStringList TutorialHelpLines(const QString& itemName);
QStringList KeywordSearchLines(const QString& answer);
// The word help of the editor: the text to show, or empty when the word has none.
QString WordHelpText(const QString& word);

class HelpMenu : public QMenu {
  Q_OBJECT

 public:
  HelpMenu(TForm_help* helpWindow, QWidget* parent);
  // Re-captions the numbered items in the current language.
  void applyLanguage();
  void keywordSearch();
  void showAbout();

 private:
  void BuildFunctionHelpMenus();
  void MenuFunction(const QString& itemName);
  TForm_help* help_;
  QList<QMenu*> categoryMenus_;
};

// The find and replace dialogs of the editor.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

class QsciScintilla;

class FindReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  FindReplaceDialog(QsciScintilla* editor, bool replace, QWidget* parent = nullptr);

  // Opens with the selection as search text when it is short and on one line.
  void start();
  // Searches from the caret; beeps when the text is empty or not found. Returns whether found.
  bool findNext();
  bool replaceOne();
  int replaceAll();

  QLineEdit* searchText() const { return search_; }
  QLineEdit* replacementText() const { return replacement_; }
  QCheckBox* wholeWord() const { return wholeWord_; }
  QCheckBox* matchCase() const { return matchCase_; }
  QRadioButton* down() const { return down_; }

 private:
  QsciScintilla* editor_;
  QLineEdit* search_;
  QLineEdit* replacement_ = nullptr;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QRadioButton* down_;
  QRadioButton* up_;
};

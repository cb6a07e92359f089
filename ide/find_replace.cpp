#include "ide/find_replace.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

#include "engine/message_numbers.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

FindReplaceDialog::FindReplaceDialog(QsciScintilla* editor, bool replace, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      search_(new QLineEdit),
      wholeWord_(new QCheckBox(u"Whole word"_s)),
      matchCase_(new QCheckBox(u"Match case"_s)),
      down_(new QRadioButton(u"Down"_s)),
      up_(new QRadioButton(u"Up"_s)) {
  setWindowTitle(MessageText(replace ? msg::kReplaceCaption : msg::kFindCaption));
  auto* form = new QFormLayout;
  form->addRow(u"Find:"_s, search_);
  if (replace) {
    replacement_ = new QLineEdit;
    form->addRow(u"Replace with:"_s, replacement_);
  }
  auto* direction = new QGroupBox(u"Direction"_s);
  auto* directionLayout = new QHBoxLayout(direction);
  directionLayout->addWidget(up_);
  directionLayout->addWidget(down_);
  down_->setChecked(true);
  matchCase_->setChecked(true);
  matchCase_->setVisible(replace);  // the find dialog searches with the case as typed
  auto* buttons = new QDialogButtonBox;
  QPushButton* next = buttons->addButton(u"Find next"_s, QDialogButtonBox::ActionRole);
  connect(next, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
  if (replace) {
    connect(buttons->addButton(u"Replace"_s, QDialogButtonBox::ActionRole), &QPushButton::clicked, this,
            &FindReplaceDialog::replaceOne);
    connect(buttons->addButton(u"Replace All"_s, QDialogButtonBox::ActionRole), &QPushButton::clicked, this,
            &FindReplaceDialog::replaceAll);
  }
  connect(buttons->addButton(QDialogButtonBox::Close), &QPushButton::clicked, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(wholeWord_);
  layout->addWidget(matchCase_);
  layout->addWidget(direction);
  layout->addWidget(buttons);
}

void FindReplaceDialog::start() {
  const QString selected = editor_->selectedText();
  if (!selected.isEmpty() && selected.size() < 25 && !selected.contains(u'\n') && !selected.contains(u'\r'))
    search_->setText(selected);
  show();
  raise();
  search_->setFocus();
}

bool FindReplaceDialog::findNext() {
  const QString text = search_->text();
  const bool forward = down_->isChecked() || replacement_;
  bool found = false;
  if (!text.isEmpty()) {
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index);
    if (!forward && editor_->hasSelectedText()) {  // step back over the current match
      int l1, i1, l2, i2;
      editor_->getSelection(&l1, &i1, &l2, &i2);
      line = l1;
      index = i1;
    }
    found = editor_->findFirst(text, false, matchCase_->isChecked(), wholeWord_->isChecked(), false, forward,
                               line, index);
  }
  if (!found) QApplication::beep();
  return found;
}

bool FindReplaceDialog::replaceOne() {
  if (editor_->isReadOnly()) return false;
  const QString selected = editor_->selectedText();
  const bool selectionMatches =
      !selected.isEmpty() && selected.compare(search_->text(), matchCase_->isChecked() ? Qt::CaseSensitive
                                                                                       : Qt::CaseInsensitive) == 0;
  if (!selectionMatches && !findNext()) return false;
  editor_->replace(replacement_ ? replacement_->text() : QString());
  return true;
}

int FindReplaceDialog::replaceAll() {
  if (editor_->isReadOnly() || search_->text().isEmpty()) {
    QApplication::beep();
    return 0;
  }
  int count = 0;
  editor_->beginUndoAction();
  editor_->setCursorPosition(0, 0);
  while (editor_->findFirst(search_->text(), false, matchCase_->isChecked(), wholeWord_->isChecked(), false, true, -1,
                            -1, false)) {
    editor_->replace(replacement_ ? replacement_->text() : QString());
    if (++count > 1000000) break;
  }
  editor_->endUndoAction();
  if (count == 0) QApplication::beep();
  return count;
}

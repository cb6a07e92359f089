// The help window as the help menu and the word help open it: its width follows the widest
// table or example line, tables never wrap, and the caption names what is shown.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <functional>

#include "engine/messages.h"
#include "ide/help_menu.h"
#include "ide/help_window.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct Shown {
  QString caption;
  int width = 0;
  int screenWidth = 0;
  int wrappedTableLines = 0;   // table lines laid out on more than one line
  int tableLines = 0;
  int wrappedTextBlocks = 0;   // running-text paragraphs that wrap
  bool horizontalScrollBar = false;
  bool headingWraps = false;   // the first line (a function's signature) broken in two
};

// Opens the (modal) window with `open` and notes what it shows before closing it.
Shown WhileShown(TForm_help& help, const std::function<void()>& open) {
  Shown seen;
  QTimer::singleShot(0, &help, [&] {
    auto* view = help.findChild<QTextEdit*>();
    seen.caption = help.windowTitle();
    seen.width = help.width();
    seen.screenWidth = help.screen()->availableGeometry().width();
    seen.horizontalScrollBar = view->horizontalScrollBar()->isVisible();
    seen.headingWraps = view->document()->firstBlock().layout()->lineCount() > 1;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
      const bool table = b.text().contains(u'│');
      seen.tableLines += table;
      if (b.layout()->lineCount() > 1) ++(table ? seen.wrappedTableLines : seen.wrappedTextBlocks);
    }
    help.close();
  });
  open();
  return seen;
}

TEST(HelpWindowShowing, TutorialTablesFitUnwrappedAndTheCaptionNamesTheTopic) {
  TForm_help help;
  HelpMenu menu(&help, nullptr);
  auto* operators = menu.findChild<QAction*>(u"mi_Operators"_s);
  ASSERT_TRUE(operators);
  const Shown tutorial = WhileShown(help, [&] { operators->trigger(); });
  EXPECT_EQ(tutorial.caption, MessageText(250) + u" — Operators"_s);
  EXPECT_GT(tutorial.tableLines, 20);
  EXPECT_EQ(tutorial.wrappedTableLines, 0);
  EXPECT_GT(tutorial.wrappedTextBlocks, 0);  // running text still wraps
  EXPECT_GT(tutorial.width, 535);
  EXPECT_LE(tutorial.width, tutorial.screenWidth);
  EXPECT_FALSE(tutorial.horizontalScrollBar);

  // A function's help takes its heading as the caption again; the window is wide enough for
  // its signature.
  const Shown function = WhileShown(help, [&] { help.showLines(FunctionHelpLines(u"Array_Sort"_s)); });
  EXPECT_EQ(function.caption, MessageText(32));
  EXPECT_FALSE(function.headingWraps);
  // Narrow content goes back to the design width.
  const Shown narrow = WhileShown(help, [&] { help.showLines({u"Caption"_s, u"Heading"_s, u"Some text."_s}); });
  EXPECT_EQ(narrow.width, 535);

  // The word help of a tutorial key names that topic, whatever was shown before.
  const Shown word = WhileShown(help, [&] { help.showLines(WordHelpText(u"for"_s).split(u'\r')); });
  EXPECT_EQ(word.caption, MessageText(250) + u" — For"_s);
  EXPECT_EQ(word.wrappedTableLines, 0);
}

TEST(HelpWindowShowing, ContentWiderThanTheScreenScrollsInsteadOfWrapping) {
  TForm_help help;
  const int screenWidth = help.screen()->availableGeometry().width();
  const QString wide = u"<fnt1>Wide\n<fnt4>│"_s + QString(screenWidth / 4, u'─') + u"│\n<fnt2>end"_s;
  const Shown shown = WhileShown(help, [&] { help.showLines({wide}); });
  EXPECT_EQ(shown.width, screenWidth);
  EXPECT_EQ(shown.wrappedTableLines, 0);
  EXPECT_TRUE(shown.horizontalScrollBar);
}

}  // namespace

// The window's look on a real X display: the tool-bar icons (distinct, captioned, readable on a
// light and a dark palette) and the editor following the palette to a readable dark variant.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "engine/engine_state.h"
#include "engine/program_folder.h"
#include "ide/editor_colours.h"
#include "ide/main_window.h"
#include "ide/script_editor.h"
#include "ide/syntax_lexer.h"
#include "ide/tool_bar_icons.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// WCAG contrast ratio of two colours (1 to 21).
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double x = luminance(a) + 0.05, y = luminance(b) + 0.05;
  return std::max(x, y) / std::min(x, y);
}

// The strongest contrast any drawn pixel of the icon has against the background: an icon
// readable on it has outlines that stand out, whatever its accent.
double BestContrast(const QImage& icon, const QColor& background) {
  double best = 1;
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x) {
      const QColor c = icon.pixelColor(x, y);
      if (c.alpha() > 200) best = std::max(best, Contrast(c, background));
    }
  return best;
}

class AppearanceTest : public ::testing::Test {
 protected:
  void TearDown() override { QApplication::setPalette(QPalette()); }
};

TEST_F(AppearanceTest, ToolBarIconsAreDistinctAndReadableOnLightAndDarkPalettes) {
  for (const QPalette& palette : {QPalette(QColor(0xF0, 0xF0, 0xF0)), DarkDesktopPalette()}) {
    QApplication::setPalette(palette);
    const QColor background = palette.color(QPalette::Window);
    QList<QImage> seen;
    for (std::size_t i = 0; i < kWindowActionCount; ++i) {
      const QIcon icon = ToolBarIcon(WindowAction(i));
      const QImage image = icon.pixmap(QSize(24, 24)).toImage();
      ASSERT_FALSE(image.isNull()) << i;
      EXPECT_GE(BestContrast(image, background), 4.5) << "icon " << i << " on " << background.name().toStdString();
      EXPECT_FALSE(seen.contains(image)) << "icon " << i << " repeats another";
      EXPECT_NE(icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage(), image) << "icon " << i << " disabled";
      seen << image;
    }
  }
}

TEST_F(AppearanceTest, EditorFollowsThePaletteWithReadableTokenColours) {
  ResetEngine();
  TForm_Interpretator w({});
  w.resize(1000, 700);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  for (const QToolBar* bar : w.findChildren<QToolBar*>()) {
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    for (QAction* a : bar->actions()) {
      EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
      EXPECT_FALSE(a->text().isEmpty()) << a->objectName().toStdString();
    }
  }
  EXPECT_FALSE(w.windowIcon().pixmap(48).isNull()) << "window icon";
  ScriptEditor* editor = w.editor();
  for (bool dark : {true, false}) {
    QApplication::setPalette(dark ? DarkDesktopPalette() : QPalette(QColor(0xF0, 0xF0, 0xF0)));
    QTest::qWait(50);
    TSynTrsSyn* lexer = editor->lexer();
    EXPECT_EQ(lexer->DarkColours(), dark);
    const QColor paper = EditorColourOf(EditorColour::Paper, dark);
    for (int style = 0; style < TSynTrsSyn::kTokenKindCount; ++style) {
      EXPECT_EQ(lexer->paper(style), paper) << style;
      EXPECT_GE(Contrast(lexer->color(style), paper), 3.0) << "style " << style << (dark ? " dark" : " light");
    }
    for (EditorColour gutter : {EditorColour::WorkGutter, EditorColour::EditGutter, EditorColour::CaretLine})
      EXPECT_GE(Contrast(EditorColourOf(EditorColour::Text, dark), EditorColourOf(gutter, dark)), 4.5);
    // What the screen shows: a point of the editor's empty text area has the paper colour.
    const QImage shot = w.grab().toImage();
    const QPoint inside = editor->mapTo(&w, QPoint(editor->width() - 40, editor->height() - 40));
    EXPECT_LT(Contrast(shot.pixelColor(inside), paper), 1.2)
        << shot.pixelColor(inside).name().toStdString() << (dark ? " dark" : " light");
  }
}

}  // namespace

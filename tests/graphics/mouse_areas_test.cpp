// Mouse areas, clicks and the pointer position, driven through the surface's pointer reports
// on a console surface of 600 x 400 pixels (one pixel per user unit, shown unscaled).
#include "engine/event_calls.h"
#include "graphics/mouse_areas.h"
#include "graphics_fixture.h"
#include "unit_support/graphics_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The area of R is (100, 100)..(200, 200) in user units: display pixels x 100..199, y 200..299.
const QStringList kClickScript = {
    u"clicks = 0"_s,
    u"SetCoordinateSystem(0, 0, 600, 400)"_s,
    u"array R[4]float=(100, 100, 200, 200)"_s,
    u"Define_Mouse_Click_Handler(R, 'Clicked')"_s,
    u"stop"_s,
    u"function Clicked()"_s,
    u"  clicks = clicks + 1"_s,
    u"  return"_s,
    u"function Other()"_s,
    u"  clicks = clicks + 100"_s,
    u"  return"_s,
};

class MouseAreasTest : public GraphicsTest {
 protected:
  // The elements of a float array of the script.
  static std::vector<double> Elements(const QString& name) {
    const int index = FindArray(name);
    if (index <= 0 || !Engine().Array(index).P) return {};
    return Engine().Array(index).P->floats;
  }
};

TEST_F(MouseAreasTest, AClickInsideAnAreaCallsItsFunctionWithTheCoordinates) {
  Draw(kClickScript);
  ASSERT_EQ(MouseAreas().size(), 1);
  const MouseArea& area = MouseAreas()[0];
  EXPECT_EQ(QRect(QPoint(area.left, area.top), QPoint(area.right, area.bottom)), QRect(QPoint(100, 200), QPoint(200, 300)));

  NotifyPointerReleased({150, 250}, 1);
  EXPECT_EQ(Value(u"clicks"_s), u"1"_s);
  EXPECT_EQ(Elements(u"MouseCoordinates"_s), (std::vector<double>{150, 150, 1}));
  NotifyPointerReleased({199, 201}, 2);  // the right button, in the last pixels inside
  EXPECT_EQ(Value(u"clicks"_s), u"2"_s);
  EXPECT_EQ(Elements(u"MouseCoordinates"_s), (std::vector<double>{199, 199, 2}));
  NotifyPointerReleased({120, 220}, 3);
  EXPECT_EQ(Elements(u"MouseCoordinates"_s)[2], 3);

  // Right and bottom edges are outside, and so is the rest of the picture.
  for (QPoint outside : {QPoint(200, 250), QPoint(150, 300), QPoint(50, 50)}) NotifyPointerReleased(outside, 1);
  EXPECT_EQ(Value(u"clicks"_s), u"3"_s);
  EXPECT_TRUE(NotifyPointerMoved({150, 250}));
  EXPECT_FALSE(NotifyPointerMoved({50, 50}));
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(MouseAreasTest, TheLastMatchingAreaWinsAndACoordinateSystemForgetsThemAll) {
  QStringList lines = kClickScript;
  lines.insert(4, u"Define_Mouse_Click_Handler(R, 'Other')"_s);
  lines.insert(4, u"array S[4]string"_s);
  lines.insert(5, u"Define_Mouse_Click_Handler(S, 'Other')"_s);  // not a float array: no area
  Draw(lines);
  EXPECT_EQ(MouseAreas().size(), 2);
  NotifyPointerReleased({150, 250}, 1);
  EXPECT_EQ(Value(u"clicks"_s), u"100"_s) << "Other, not Clicked";

  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s});
  EXPECT_TRUE(MouseAreas().isEmpty());
  EXPECT_FALSE(NotifyPointerMoved({150, 250}));
}

TEST_F(MouseAreasTest, AClickWhileAHandlerRunsIsIgnoredAndErrorsAreShown) {
  Draw(kClickScript);
  // The views are refreshed while the handler runs: a click then comes too early.
  struct ClickingHost : RecordingHost {
    void RefreshViews() override {
      if (EventCallInProgress()) NotifyPointerReleased({120, 220}, 2);
    }
  } clicking;
  SetRunHost(&clicking);
  NotifyPointerReleased({150, 250}, 1);
  SetRunHost(&host);
  EXPECT_EQ(Value(u"clicks"_s), u"1"_s);
  EXPECT_EQ(Elements(u"MouseCoordinates"_s), (std::vector<double>{150, 150, 1}));

  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s, u"array R[4]float=(0, 0, 600, 400)"_s,
        u"Define_Mouse_Click_Handler(R, 'Missing')"_s});
  NotifyPointerReleased({10, 10}, 1);
  EXPECT_EQ(host.errors.size(), 1) << "an unknown function is reported in an error box";
}

TEST_F(MouseAreasTest, CursorPositionInUserUnitsOrPixelsAndWhileThePanelIsHidden) {
  Draw({u"P = Get_User_Cursor_Pos()"_s});  // no coordinate system yet: the canvas is hidden
  EXPECT_EQ(Elements(u"P"_s), (std::vector<double>{-1000000000, 0}));

  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s});
  NotifyPointerMoved({150, 250});
  Draw({u"P = Get_User_Cursor_Pos()"_s, u"Q = Get_User_Cursor_Pos(1)"_s});
  EXPECT_EQ(Elements(u"P"_s), (std::vector<double>{150, 150}));
  EXPECT_EQ(Elements(u"Q"_s), (std::vector<double>{150, 250}));
  NotifyPointerLeft();
  Draw({u"Q = Get_User_Cursor_Pos(1)"_s, u"P = Get_User_Cursor_Pos(0)"_s});
  EXPECT_EQ(Elements(u"Q"_s), (std::vector<double>{-1, -1}));
  EXPECT_EQ(Elements(u"P"_s), (std::vector<double>{150, 150})) << "the last position in user units stays";
}

TEST_F(MouseAreasTest, PointerPositionTextHasTheDecimalsOfTheRangeWidth) {
  EXPECT_EQ(PointerPositionText(0.12345, -0.5, 1), u"X=0.123  Y=-0.500"_s);
  EXPECT_EQ(PointerPositionText(3.14159, 2, 20), u"X=3.14  Y=2.00"_s);
  EXPECT_EQ(PointerPositionText(31.4159, 2, 200), u"X=31.4  Y=2.0"_s);
  EXPECT_EQ(PointerPositionText(123.6, -7.2, 2000), u"X=124  Y=-7"_s);
  EXPECT_EQ(PointerPositionText(12345.4, 0, 20000), u"X=12345  Y=0"_s);
  EXPECT_EQ(PointerPositionText(1, 1, 0.2), QString()) << "too narrow";
  EXPECT_EQ(PointerPositionText(1, 1, 20001), QString()) << "too wide";

  // Moving the pointer shows it in the sixth panel of the status bar.
  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s});
  struct StatusHost : RecordingHost {
    QString panels[7];
    void SetStatusText(int panel, const QString& text) override { panels[panel] = text; }
  } status;
  SetRunHost(&status);
  NotifyPointerMoved({150, 250});
  SetRunHost(&host);
  EXPECT_EQ(status.panels[5], u"X=150  Y=150"_s);
}

}  // namespace

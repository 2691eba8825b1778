// The easy cab panel window: its shapes, buttons and status bar, the
// characters its buttons post, keys passed on, and the colours after the
// handles, checked on a screenshot.
#include "shell/easy_cab_panel.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <string>

#include "platform/artefacts.h"
#include "platform/qt_app.h"

namespace cabsim {
namespace {

QRgb colour_in(const QImage& shot, const QWidget* w) {
  QPoint centre = w->geometry().center();
  return shot.pixel(centre) & 0xFFFFFFu;
}

TEST(EasyCabPanel, HasItsShapesButtonsAndCaptionWhereTheFormPutsThem) {
  test::ensure_qt_app();
  TForm6 panel;
  EXPECT_EQ(panel.windowTitle(), QString::fromUtf8("かんたん運転台"));
  EXPECT_EQ(panel.size(), QSize(241, 376));
  EXPECT_EQ(panel.brake_shape(1)->objectName(), "KB1");
  EXPECT_EQ(panel.brake_shape(1)->geometry(), QRect(24, 152, 30, 15));
  EXPECT_EQ(panel.brake_shape(7)->geometry(), QRect(24, 56, 30, 15));
  EXPECT_EQ(panel.brake_shape(8)->geometry().y(), 40);
  EXPECT_FALSE(panel.brake_shape(8)->isVisibleTo(&panel));
  EXPECT_EQ(panel.neutral_shape()->geometry(), QRect(24, 176, 30, 15));
  EXPECT_EQ(panel.power_shape(5)->geometry(), QRect(24, 264, 30, 15));
  EXPECT_EQ(panel.brake_shape(9), nullptr);
  EXPECT_EQ(panel.power_shape(0), nullptr);

  EXPECT_EQ(panel.button(1)->text(), QString::fromUtf8("減速"));
  EXPECT_EQ(panel.button(1)->geometry(), QRect(144, 40, 75, 49));
  EXPECT_EQ(panel.button(2)->geometry(), QRect(144, 128, 75, 49));
  EXPECT_EQ(panel.button(6)->text(), QString::fromUtf8("ニュートラル"));
  EXPECT_EQ(panel.button(3)->text(), QString::fromUtf8("ドア開閉"));
  EXPECT_FALSE(panel.button(4)->isEnabled());
  EXPECT_FALSE(panel.button(5)->isEnabled());
  EXPECT_EQ(panel.button(5)->x(), 168);
  EXPECT_EQ(panel.button(7)->text(), QString::fromUtf8("逆転器"));
  EXPECT_EQ(panel.button(7)->y(), 324);
}

TEST(EasyCabPanel, ButtonsPostTheKeyboardsCharactersAfterTheClick) {
  test::ensure_qt_app();
  TForm6 panel;
  std::string posted;
  panel.post_character = [&](char c) { posted += c; };
  int32_t reverser = 1;
  panel.current_reverser = [&] { return reverser; };

  panel.button(1)->click();
  EXPECT_EQ(posted, "");  // posted, not sent: it arrives after this event
  ASSERT_TRUE(test::process_events_until([&] { return posted.size() == 1; }));
  panel.button(2)->click();
  panel.button(6)->click();
  panel.button(3)->click();
  panel.button(4)->click();  // disabled: nothing
  panel.button(5)->click();
  panel.button(7)->click();  // forward: "b"
  reverser = -1;
  panel.button(7)->click();  // backward: "f"
  reverser = 0;
  panel.button(7)->click();  // neutral: nothing
  ASSERT_TRUE(test::process_events_until([&] { return posted.size() >= 6; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(posted, "2857bf");

  // Without a reverser source the position last shown decides.
  panel.current_reverser = nullptr;
  RunState s;
  s.reverser = -1;
  panel.show_state(s, false);
  posted.clear();
  panel.button(7)->click();
  ASSERT_TRUE(test::process_events_until([&] { return !posted.empty(); }));
  EXPECT_EQ(posted, "f");
}

TEST(EasyCabPanel, KeysOfTheWindowAndItsButtonsArePassedOnOnce) {
  test::ensure_qt_app();
  TForm6 panel;
  std::string forwarded;
  panel.forward_key = [&](const QKeyEvent& e) { forwarded += e.text().toStdString(); };
  QKeyEvent on_window(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
  QCoreApplication::sendEvent(&panel, &on_window);
  QKeyEvent on_button(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, "8");
  QCoreApplication::sendEvent(panel.button(2), &on_button);
  EXPECT_EQ(forwarded, "z8");
}

TEST(EasyCabPanel, ShapesAndStatusBarFollowTheHandlesAndDoors) {
  test::ensure_qt_app();
  TForm6 panel;
  RunState s;
  s.brake_handle = -3;
  s.power_handle = 0;
  panel.show_state(s, true);
  EXPECT_EQ(panel.status_text(), QString::fromUtf8("ドアを閉めています"));
  QImage braking = panel.grab().toImage();
  test::save_artefact(braking, "easy_cab_panel_brake_3");
  EXPECT_EQ(colour_in(braking, panel.brake_shape(3)), 0xFF0000u);  // red
  EXPECT_EQ(colour_in(braking, panel.brake_shape(4)), 0xFFFFFFu);
  EXPECT_EQ(colour_in(braking, panel.neutral_shape()), 0xFFFFFFu);
  EXPECT_EQ(colour_in(braking, panel.power_shape(1)), 0xFFFFFFu);

  s.brake_handle = 0;
  s.power_handle = 2;
  s.doors_open = 1;
  panel.show_state(s, true);
  EXPECT_EQ(panel.status_text(), QString::fromUtf8("ドアが開いています"));
  QImage powering = panel.grab().toImage();
  test::save_artefact(powering, "easy_cab_panel_power_2");
  EXPECT_EQ(colour_in(powering, panel.power_shape(2)), 0xFFFF00u);  // yellow
  EXPECT_EQ(colour_in(powering, panel.power_shape(3)), 0xFFFFFFu);
  EXPECT_EQ(colour_in(powering, panel.brake_shape(1)), 0xFFFFFFu);

  s.power_handle = 0;
  s.doors_open = 0;
  panel.show_state(s, false);
  EXPECT_EQ(panel.status_text(), "");
  QImage coasting = panel.grab().toImage();
  EXPECT_EQ(colour_in(coasting, panel.neutral_shape()), 0x00FF00u);  // green
  // The outline is the shape's edge.
  EXPECT_EQ(coasting.pixel(panel.neutral_shape()->geometry().topLeft()) & 0xFFFFFFu, 0u);
}

}  // namespace
}  // namespace cabsim

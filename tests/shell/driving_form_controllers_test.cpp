// The driving form's controllers with real devices: a master controller on a
// pseudo-terminal pair made by socat, and SDL's virtual joystick standing in
// for the USB controllers, plugged in and out while the run goes on.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSettings>

#include "platform/pty_pair.h"
#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "platform/virtual_pad.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"
#include "shell/value_display_form.h"

namespace cabsim {
namespace {

struct Recorded {
  std::vector<QString> messages, failures;
  ShellServices services() {
    return {[](const QString&) {}, [this](const QString& t) { messages.push_back(t); },
            [this](const QString& t) { failures.push_back(t); }};
  }
};

/// A run folder whose key map holds the codes of a serial controller.
struct ControllerFolder : test::RunFolder {
  ControllerFolder() : test::RunFolder(/*film=*/false) {
    dir.write_bytes("mascon.dat",
                    "P1\r\nP2\r\nP3\r\nP4\r\nP5\r\nP6\r\nN\r\nB1\r\nB2\r\nB3\r\nB4\r\nB5\r\nB6\r\n"
                    "B7\r\nB8\r\nEB\r\nRF\r\nRN\r\nRB\r\nSW0\r\nSW3\r\nSW7\r\nSW1\r\n");
  }
};

/// A form with its run assembled and started.
struct Form {
  explicit Form(const test::RunFolder& folder, ControllerDevices* devices = nullptr)
      : store(SettingsFiles::in_folder(folder.dir / "settings")), form(store, recorded.services()) {
    form.set_controller_devices(devices);
    EXPECT_TRUE(form.FormCreate(folder.selection()));
    form.start1Click();
  }
  bool wait_for(const std::function<bool(const RunState&)>& done, int ms = 3000) {
    return test::process_events_until([&] { return done(form.run()->state); }, ms);
  }
  QtSettingsStore store;
  Recorded recorded;
  TForm1 form;
};

TEST(DrivingFormControllers, SerialLinesMoveTheHandlesOfTheRun) {
  test::ensure_qt_app();
  ControllerFolder folder;
  test::PtyPair pty(folder.dir);
  ASSERT_TRUE(pty.ok()) << "socat did not make the pty pair";
  Form f(folder);
  TForm1& form = f.form;

  // A port that cannot be opened is a message, and the item stays unchecked.
  const size_t messages = f.recorded.messages.size();  // the missing film's
  SerialPortSettings settings;
  settings.port = (folder.dir / "no-such-port").string();
  form.controller_devices().serial_settings = settings;
  form.menu_item("Connect1")->trigger();
  ASSERT_EQ(f.recorded.messages.size(), messages + 1);
  EXPECT_TRUE(f.recorded.messages.back().contains("no-such-port"));
  EXPECT_FALSE(form.menu_item("Connect1")->isChecked());

  settings.port = pty.a().string();
  form.serial_port()->set_settings(settings);
  form.menu_item("Connect1")->trigger();
  EXPECT_TRUE(form.menu_item("Connect1")->isChecked());
  EXPECT_TRUE(form.serial_port()->is_open());

  pty.send("P3\r");
  ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.power_handle == 3; }));
  EXPECT_EQ(form.run()->state.brake_handle, 0);
  // A line split over two events, with the next one after the CR.
  pty.send("B");
  pty.send("5\rE");
  ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.brake_handle == -5; }));
  EXPECT_EQ(form.run()->state.power_handle, 0);
  pty.send("B\r");
  ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.brake_handle == -8; }));
  // The value display shows the last line in its caption once made.
  QKeyEvent f3(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
  form.key_pressed(&f3);
  ASSERT_NE(form.value_display_form(), nullptr);
  EXPECT_EQ(form.value_display_form()->windowTitle(), "EB");

  // Disconnected by the menu: lines no longer arrive.
  form.menu_item("Connect1")->trigger();
  EXPECT_FALSE(form.serial_port()->is_open());
  EXPECT_FALSE(form.menu_item("Connect1")->isChecked());
  form.menu_item("Connect1")->trigger();
  ASSERT_TRUE(form.serial_port()->is_open());
  // Closing the run closes the port.
  form.close();
  EXPECT_FALSE(form.serial_port()->is_open());
  EXPECT_TRUE(f.recorded.failures.empty());
}

TEST(DrivingFormControllers, PadKindsThroughTheVirtualJoystickAndHotPlug) {
  test::ensure_qt_app();
  ControllerFolder folder;
  ControllerDevices devices;
  // The PlayStation pad's codes from the settings: P2 = X + E + Y of the
  // handle at notch 2, B4 = M of the handle at B4.
  {
    QSettings pad(QString::fromStdString((folder.dir / "settings" / "padcontroller.ini").string()),
                  QSettings::IniFormat);
    for (int i = 0; i < PadCodes::kCount; ++i)
      pad.setValue(QString::fromUtf8(PadCodes::kNames[static_cast<size_t>(i)].data(), 2), 999);
    pad.setValue("P2", 2 + 32);  // buttons 1 and 9
    pad.setValue("B4", 1 + 4);   // buttons 4 and 6
  }
  Form f(folder, &devices);
  TForm1& form = f.form;
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0 && SDL_NumJoysticks() > 0)
    GTEST_SKIP() << "a real controller is plugged in";
  EXPECT_EQ(devices.pad_codes.codes[2], 34);

  form.menu_item("COM21")->trigger();  // the Windows pad
  EXPECT_TRUE(form.menu_item("COM21")->isChecked());
  EXPECT_FALSE(form.menu_item("COM11")->isChecked());
  EXPECT_EQ(form.run()->state.controller_kind, kWindowsPad);
  {
    test::VirtualPad pad(16);
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    pad.set(0, -25000);  // notch 4 after the dead zone (-24592)
    ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.power_handle == 4; }));
    EXPECT_EQ(form.run()->state.brake_handle, 0);
    form.menu_item("debug1")->trigger();
    pad.set(20000, 0);  // emergency, the caption shows the axes
    ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.brake_handle == -8; }));
    EXPECT_EQ(form.windowTitle(), QString("X:%1 Y:0").arg((20000 - 1638) * 100 / 95));
    form.menu_item("debug1")->trigger();
    // Pulled out during the run: no message, the handles stay.
    pad.unplug();
    test::process_events_until([] { return false; }, 400);
    EXPECT_EQ(form.run()->state.brake_handle, -8);
    EXPECT_EQ(form.run()->state.power_handle, 0);
  }
  {
    // Plugged in again: found without a restart.
    test::VirtualPad pad(16);
    ASSERT_TRUE(pad.ok());
    pad.set(6000, 0);  // B3 (4591 after the dead zone)
    ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.brake_handle == -3; }));

    form.menu_item("COM31")->trigger();  // PlayStation pad with the codes read
    pad.set(0, 0, {1, 9, 4, 6});
    ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.power_handle == 2; }));
    EXPECT_EQ(form.run()->state.brake_handle, -4);

    form.menu_item("COM41")->trigger();  // OHC-PC01: M 8, E 16 is B4; Y < 0 "f"
    form.run()->state.reverser = 0;
    pad.set(0, -20000, {7, 8});
    ASSERT_TRUE(f.wait_for([](const RunState& s) { return s.reverser == 1; }));
    EXPECT_EQ(form.run()->state.brake_handle, -4);
    pad.set(0, 0, {5, 7, 8, 9});  // M 10: no pattern; the handles stay
    test::process_events_until([] { return false; }, 300);
    EXPECT_EQ(form.run()->state.reverser, 0);  // "n"
    EXPECT_EQ(form.run()->state.brake_handle, -4);
  }
  EXPECT_EQ(f.recorded.messages.size(), 1u);  // the missing film's alone
  EXPECT_TRUE(f.recorded.failures.empty());
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

TEST(DrivingFormControllers, PadCodesTheSettingsLackKeepAnEarlierRunsValues) {
  test::ensure_qt_app();
  ControllerFolder folder;
  ControllerDevices devices;
  const auto ini = QString::fromStdString((folder.dir / "settings" / "padcontroller.ini").string());
  {
    QSettings pad(ini, QSettings::IniFormat);
    for (int i = 0; i < PadCodes::kCount; ++i)
      pad.setValue(QString::fromUtf8(PadCodes::kNames[static_cast<size_t>(i)].data(), 2), 10 + i);
  }
  { Form first(folder, &devices); }
  {
    QSettings pad(ini, QSettings::IniFormat);
    pad.clear();
    pad.setValue("P0", 7);  // P1 onwards missing: they keep the first run's values
  }
  Form second(folder, &devices);
  EXPECT_EQ(second.form.run()->pad_codes.codes[0], 7);
  EXPECT_EQ(second.form.run()->pad_codes.codes[1], 11);
  EXPECT_EQ(second.form.run()->pad_codes.codes[15], 25);
}

}  // namespace
}  // namespace cabsim

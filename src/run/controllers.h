// The external controllers of the driving form: the serial master
// controller's receive event (RxChar, RxChar2), the USB controller poll of
// the operation tick (USBScan), the Controller menu's choices, and the keys
// the controllers post, handled after the event as typed keys.
#pragma once

#include <cstdint>
#include <string_view>

#include "state/run.h"

namespace cabsim {

/// The serial port's receive event with the characters read: every line
/// completed by a carriage return goes to RxChar2 in order; the rest waits
/// in `serial_pending` for the next event.
void RxChar(Run& run, std::string_view received);

/// One line: the vigilance reset, the line as the value display's caption,
/// then every key map entry 0 .. 22 equal to the line's first five
/// characters acts, in order, each handle action followed by masconupdate.
void RxChar2(Run& run, std::string_view line);

/// One poll of the first joystick: when a controller is present and its state
/// sum differs from the last one acted on, the vigilance reset, the chosen
/// kind's table, masconupdate, and with debug1 the axes in the caption.
void USBScan(Run& run);

/// Tick step 43: USBScan while a pad kind (1 .. 3) is chosen.
void usb_scan_step(Run& run);

/// COM11Click .. COM41Click: controller kind 0 .. 3.
void controller_kind_click(Run& run, int32_t kind);

/// debug1Click: the pad's axes in the caption while checked; unchecked, the
/// caption of the set-up comes back (the line name follows at the next tick).
void debug1Click(Run& run, bool checked);

/// Posts a key to the form (an Enter key-down as kPostedEnter); beyond
/// kMaxPostedKeys waiting, further keys are dropped.
void post_key(Run& run, char key);

/// The posted keys in order, as typed: characters through AsciiDown, the
/// Enter key-down through keydowns.
void deliver_posted_keys(Run& run);

}  // namespace cabsim

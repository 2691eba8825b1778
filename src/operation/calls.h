// The driver's calls: recorded phrases queued and spoken one after another on
// the call channel. Signal, sign and level-crossing calls when the calling
// key is pressed, station calls at fixed moments of a stop, time calls that
// compare the clock with the timetable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "state/run.h"

namespace cabsim {

/// Station call moments.
constexpr int32_t kCallArrival = 0;  ///< arrival (one-man), or arrival before the doors open
constexpr int32_t kCallDoorsOpened = 1;
constexpr int32_t kCallMelodyStarted = 2;
constexpr int32_t kCallDoorsClosed = 3;
constexpr int32_t kCallFirstPower = 4;  ///< raised by the handles, not by the stations
constexpr int32_t kCallDoorsClosing = 5;

/// Call sounds with a fixed use.
constexpr int32_t kCallSoundDoorsClosed = 19;
constexpr int32_t kCallSoundFirstPower = 20;

/// A queued call numbered from here is a sign's own sound: other-sign sound
/// (`[OtherImageList]` entry) n is queued as kOtherSignSound + n. Call
/// sounds (0 .. 299) stay below it.
constexpr int32_t kOtherSignSound = 1000;
/// The other sign that asks for a time call instead of a sound.
constexpr int32_t kTimeCheckSign = 900;
/// Message of a call that cannot be played.
constexpr std::string_view kCallPlaybackError = "喚呼の再生エラー";

/// The call slot for signal picture `picture`; nothing for a picture no call
/// names.
std::optional<int32_t> signal_call_slot(int32_t picture);

/// The file a queued call plays (a call sound or an other-sign sound); null
/// when the route names none, or an empty name.
const std::string* queued_call_file(const RouteTables& route, int32_t call);

/// kanko_queue_add: `call` joins the queue at its first empty slot; a full
/// queue drops it.
void kanko_queue_add(Run& run, int32_t call);

/// kanko_queue_play, operation tick step 44: once the call channel is idle
/// the call that started last leaves the queue and the next one is loaded
/// into the call channel and played (not played with calls switched off).
/// A call without a sound passes in silence; one that cannot be loaded is
/// dropped with the playback message.
void kanko_queue_play(Run& run);

/// The station-call method for `moment` (0 .. 5): the `[StationKanko]` rows
/// of the current station for that moment, in table order.
void raise_station_call(Run& run, int32_t moment);

/// Power applied for the first time after a stop: the departure call.
void first_power_call(Run& run);

/// Timekanko: the time call for target clock value `target` (early, late or
/// on time), `kind` 0 or 1 choosing the words.
void Timekanko(Run& run, int32_t target, int32_t kind);

/// Timecheck: with `flag` 0, a time call for every `[Time]` row whose frames
/// hold the current frame.
void Timecheck(Run& run, int32_t flag);

/// kanko_add: the `[SignalKanko]` calls of the signal in view, `kind` 1
/// before the signal's own call, 2 after it.
void kanko_add(Run& run, int32_t kind);

/// The calling key (Enter): the first of the sign, limit, signal and
/// level-crossing calls that applies.
void calling_key(Run& run);

/// Operation tick, with the sign column: the sign of the last call is
/// forgotten once neither a sign nor an approaching limit is on show, so the
/// next board, even one with the same picture, can be called.
void forget_called_sign(Run& run);

}  // namespace cabsim

// Pause with the channel states recorded; resume with them restored.
#include "run/start_pause.h"

#include <algorithm>

#include "state/checked_math.h"

namespace cabsim {
namespace {

constexpr uint8_t kRecordedOnce = 1;
constexpr uint8_t kRecordedLooped = 2;

void pause(Run& run) {
  RunState& s = run.state;
  const int channels = std::min<int>(run.sounds.channel_count(), kPauseChannels);
  for (int c = 0; c < channels; ++c) {
    ChannelStatus status = run.sounds.status(c);
    uint8_t recorded = status == ChannelStatus::kPlayingOnce ? kRecordedOnce
                       : status == ChannelStatus::kLooping   ? kRecordedLooped
                                                             : 0;
    s.paused_channels[static_cast<size_t>(c)] = recorded;
    if (status != ChannelStatus::kStopped) run.sounds.stop(c);
  }
  run.timers.set_motion_cycle(false);
  run.timers.set_operation_tick(false);
  s.easy_cab_request = 0;
  run.view.start_caption = kResumeCaption;
}

void resume(Run& run) {
  RunState& s = run.state;
  run.timers.set_motion_cycle(true);
  run.timers.set_operation_tick(true);
  s.easy_cab_request = 0;
  run.view.start_caption = kPauseCaption;
  const int channels = std::min<int>(run.sounds.channel_count(), kPauseChannels);
  for (int c = 0; c < channels; ++c) {
    uint8_t recorded = s.paused_channels[static_cast<size_t>(c)];
    if (recorded == kRecordedOnce) run.sounds.play_once(c);
    if (recorded == kRecordedLooped) run.sounds.play_looped(c);
  }
}

}  // namespace

void start1Click(Run& run) {
  note_input(run, run_input(RunInputKind::kStart, 0));
  if (run.timers.operation_tick_enabled())
    pause(run);
  else
    resume(run);
  run.view.film_refresh += 1;  // the picture is fetched again
}

void movieclick(Run& run) {
  if (!run.timers.operation_tick_enabled()) start1Click(run);
}

}  // namespace cabsim

// The silent channel set: channel states kept in memory, sounds ended by
// simulated time.
#include "sound/sound_channels_silent.h"

#include <algorithm>

#include "data/wave_seconds.h"

namespace cabsim {

SilentSoundChannels::Channel* SilentSoundChannels::find(int channel) {
  if (channel < 0 || channel >= kChannelCount) return nullptr;
  return &channels_[static_cast<size_t>(channel)];
}

const SilentSoundChannels::Channel* SilentSoundChannels::find(int channel) const {
  if (channel < 0 || channel >= kChannelCount) return nullptr;
  return &channels_[static_cast<size_t>(channel)];
}

SilentSoundChannels::Channel* SilentSoundChannels::bound(int channel) {
  Channel* c = find(channel);
  return c && c->bound ? c : nullptr;
}

std::string SilentSoundChannels::load(int channel, const std::filesystem::path& file) {
  Channel* c = find(channel);
  if (!c) return {};
  int64_t length_ms = 0;
  if (auto kept = kept_.find(file); kept != kept_.end()) {
    length_ms = kept->second;
  } else {
    if (check_file)
      if (std::string failure = check_file(file); !failure.empty()) return failure;
    WaveMillisecondsResult wave = WaveMilliseconds(file);
    if (!wave.error.empty()) return wave.error;
    length_ms = wave.milliseconds;
  }
  // A newly bound sound starts stopped, as a freshly made sound buffer does.
  *c = Channel{};
  c->bound = true;
  c->length_ms = length_ms;
  return {};
}

std::string SilentSoundChannels::preload(const std::filesystem::path& file) {
  if (kept_.contains(file)) return {};
  if (check_file)
    if (std::string failure = check_file(file); !failure.empty()) return failure;
  WaveMillisecondsResult wave = WaveMilliseconds(file);
  if (!wave.error.empty()) return wave.error;
  kept_.emplace(file, wave.milliseconds);
  return {};
}

void SilentSoundChannels::unload_all() {
  channels_.fill(Channel{});
  kept_.clear();
  active_end_ = 0;
}

bool SilentSoundChannels::has_sound(int channel) const {
  const Channel* c = find(channel);
  return c && c->bound;
}

void SilentSoundChannels::play_once(int channel) {
  if (Channel* c = bound(channel)) {
    c->played_ms = 0;
    c->status = ChannelStatus::kPlayingOnce;
    active_end_ = std::max(active_end_, channel + 1);
  }
}

void SilentSoundChannels::play_looped(int channel) {
  if (Channel* c = bound(channel)) {
    c->played_ms = 0;
    c->status = ChannelStatus::kLooping;
    active_end_ = std::max(active_end_, channel + 1);
  }
}

void SilentSoundChannels::stop(int channel) {
  if (Channel* c = bound(channel)) c->status = ChannelStatus::kStopped;
}

ChannelStatus SilentSoundChannels::status(int channel) const {
  const Channel* c = find(channel);
  return c ? c->status : ChannelStatus::kStopped;
}

void SilentSoundChannels::set_volume(int channel, int32_t hundredths_db) {
  if (Channel* c = bound(channel)) c->volume = hundredths_db;
}

int32_t SilentSoundChannels::volume(int channel) const {
  const Channel* c = find(channel);
  return c ? c->volume : 0;
}

void SilentSoundChannels::set_frequency_factor(int channel, double factor) {
  if (Channel* c = bound(channel)) c->frequency_factor = factor;
}

double SilentSoundChannels::frequency_factor(int channel) const {
  const Channel* c = find(channel);
  return c ? c->frequency_factor : 1.0;
}

void SilentSoundChannels::set_length(int channel, int64_t milliseconds) {
  Channel* c = find(channel);
  if (!c) return;
  c->bound = true;
  c->length_ms = milliseconds < 0 ? kUnknownLength : milliseconds;
}

int64_t SilentSoundChannels::length(int channel) const {
  const Channel* c = find(channel);
  return c && c->bound ? c->length_ms : kUnknownLength;
}

void SilentSoundChannels::advance(int64_t milliseconds) {
  if (milliseconds < 0) return;
  for (int i = 0; i < active_end_; ++i) {
    Channel& c = channels_[static_cast<size_t>(i)];
    if (c.status == ChannelStatus::kStopped || c.length_ms == kUnknownLength) continue;
    if (c.status == ChannelStatus::kPlayingOnce) {
      int64_t left = c.length_ms - c.played_ms;
      if (milliseconds >= left) {
        c.played_ms = c.length_ms;
        c.status = ChannelStatus::kStopped;
      } else {
        c.played_ms += milliseconds;
      }
    } else if (c.length_ms > 0) {
      // Looping: the position goes round; the remainder keeps the sum in range.
      c.played_ms = (c.played_ms + milliseconds % c.length_ms) % c.length_ms;
    }
  }
}

}  // namespace cabsim

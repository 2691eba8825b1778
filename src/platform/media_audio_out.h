// The sound of the media player: 16-bit samples streamed to an OpenAL source
// of the player's own device, or paced silently by the clock when no sound
// device opens. Used from one thread only (the player's decoding thread).
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace cabsim {

class MediaAudioOut {
 public:
  MediaAudioOut(int rate, int channels);
  ~MediaAudioOut();
  MediaAudioOut(const MediaAudioOut&) = delete;
  MediaAudioOut& operator=(const MediaAudioOut&) = delete;

  /// True when the sound reaches a device; false when it is paced silently.
  bool audible() const { return device_ != nullptr; }

  /// Hands as many waiting samples to the output as it has room for (all
  /// of them once `at_end`, however few). `now_ms` paces the silent output.
  void feed(std::deque<int16_t>& waiting, bool at_end, int64_t now_ms);
  /// True once everything handed over has been played.
  bool drained() const;
  /// Samples (per channel) played so far.
  int64_t frames_played() const { return frames_played_; }
  /// Samples waiting in the output.
  int64_t frames_queued() const { return frames_queued_; }

 private:
  void reclaim();

  int rate_;
  int channels_;
  void* device_ = nullptr;   // ALCdevice
  void* context_ = nullptr;  // ALCcontext
  unsigned source_ = 0;
  std::vector<unsigned> free_buffers_;
  std::deque<std::pair<unsigned, int64_t>> queued_;  // buffer, frames in it
  int64_t frames_played_ = 0;
  int64_t frames_queued_ = 0;
  int64_t silent_started_ms_ = -1;
  int64_t silent_handed_ = 0;
};

}  // namespace cabsim

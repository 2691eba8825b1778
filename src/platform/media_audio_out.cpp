// OpenAL streaming for the media player, on a context of the calling thread
// only, so the sound channels of a run keep their own current context.
#include "platform/media_audio_out.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>

namespace cabsim {
namespace {

/// Buffers in flight and the length of each: 16 x 50 ms keeps 0.8 s queued.
constexpr int kBufferCount = 16;
constexpr int kBufferMs = 50;

using SetThreadContext = ALCboolean(ALC_APIENTRY*)(ALCcontext*);

SetThreadContext thread_context_function(ALCdevice* device) {
  if (!alcIsExtensionPresent(device, "ALC_EXT_thread_local_context")) return nullptr;
  return reinterpret_cast<SetThreadContext>(alcGetProcAddress(device, "alcSetThreadContext"));
}

}  // namespace

MediaAudioOut::MediaAudioOut(int rate, int channels)
    : rate_(std::max(1, rate)), channels_(channels == 1 ? 1 : 2) {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) return;
  SetThreadContext set_context = thread_context_function(device);
  ALCcontext* context = set_context ? alcCreateContext(device, nullptr) : nullptr;
  if (!context || !set_context(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return;
  }
  alGetError();
  alGenSources(1, &source_);
  free_buffers_.resize(kBufferCount);
  alGenBuffers(kBufferCount, free_buffers_.data());
  if (alGetError() != AL_NO_ERROR) {
    set_context(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    free_buffers_.clear();
    return;
  }
  device_ = device;
  context_ = context;
}

MediaAudioOut::~MediaAudioOut() {
  if (!device_) return;
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  alDeleteSources(1, &source_);
  for (auto& [buffer, frames] : queued_) free_buffers_.push_back(buffer);
  alDeleteBuffers(static_cast<ALsizei>(free_buffers_.size()), free_buffers_.data());
  auto* device = static_cast<ALCdevice*>(device_);
  if (SetThreadContext set_context = thread_context_function(device)) set_context(nullptr);
  alcDestroyContext(static_cast<ALCcontext*>(context_));
  alcCloseDevice(device);
}

void MediaAudioOut::reclaim() {
  ALint processed = 0;
  alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
  for (; processed > 0 && !queued_.empty(); --processed) {
    ALuint buffer = queued_.front().first;
    alSourceUnqueueBuffers(source_, 1, &buffer);
    frames_played_ += queued_.front().second;
    frames_queued_ -= queued_.front().second;
    queued_.pop_front();
    free_buffers_.push_back(buffer);
  }
}

void MediaAudioOut::feed(std::deque<int16_t>& waiting, bool at_end, int64_t now_ms) {
  const size_t chunk = static_cast<size_t>(rate_) * kBufferMs / 1000 * channels_;
  if (!device_) {
    // No device: the sound is "played" at its own pace, so a wave file lasts
    // as long as it would sound.
    if (silent_started_ms_ < 0) silent_started_ms_ = now_ms;
    int64_t due = (now_ms - silent_started_ms_) * rate_ / 1000;
    int64_t take =
        std::min<int64_t>(due - silent_handed_, static_cast<int64_t>(waiting.size()) / channels_);
    if (take > 0) {
      waiting.erase(waiting.begin(), waiting.begin() + take * channels_);
      silent_handed_ += take;
      frames_played_ += take;
    }
    if (at_end && waiting.size() < static_cast<size_t>(channels_)) waiting.clear();
    return;
  }
  reclaim();
  std::vector<int16_t> block;
  while (!free_buffers_.empty() && !waiting.empty() && (waiting.size() >= chunk || at_end)) {
    size_t n = std::min(chunk, waiting.size());
    n -= n % static_cast<size_t>(channels_);
    if (n == 0) {
      waiting.clear();
      break;
    }
    block.assign(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(n));
    waiting.erase(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(n));
    ALuint buffer = free_buffers_.back();
    free_buffers_.pop_back();
    alBufferData(buffer, channels_ == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, block.data(),
                 static_cast<ALsizei>(n * sizeof(int16_t)), rate_);
    alSourceQueueBuffers(source_, 1, &buffer);
    auto frames = static_cast<int64_t>(n) / channels_;
    queued_.emplace_back(buffer, frames);
    frames_queued_ += frames;
  }
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  // Start, or restart after running dry while the file was still being read.
  if (state != AL_PLAYING && !queued_.empty()) alSourcePlay(source_);
}

bool MediaAudioOut::drained() const {
  return !device_ ? true : queued_.empty();
}

}  // namespace cabsim

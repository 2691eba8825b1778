// OpenAL Soft sound channels: a context asked for exactly 320 mono sources,
// one buffer per bound sound.
#include "platform/sound_channels_openal.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/mono_sound_file.h"

namespace cabsim {
namespace {

ALCdevice* as_device(void* p) {
  return static_cast<ALCdevice*>(p);
}
ALCcontext* as_context(void* p) {
  return static_cast<ALCcontext*>(p);
}

std::vector<int> context_attributes(bool with_frequency) {
  std::vector<int> a = {ALC_MONO_SOURCES, SoundChannels::kChannelCount, ALC_STEREO_SOURCES, 0};
  if (with_frequency) a.insert(a.end(), {ALC_FREQUENCY, OpenAlSoundChannels::kOutputFrequency});
  return a;
}

}  // namespace

std::unique_ptr<OpenAlSoundChannels> OpenAlSoundChannels::open_device(const char* device_name,
                                                                      std::string* failure) {
  std::unique_ptr<OpenAlSoundChannels> set(new OpenAlSoundChannels);
  set->device_ = alcOpenDevice(device_name);
  if (!set->device_) {
    if (failure) *failure = "no sound output device can be opened";
    return nullptr;
  }
  // 22050 Hz when the device allows it, else its own rate.
  std::string why = set->start(context_attributes(true));
  if (!why.empty()) why = set->start(context_attributes(false));
  if (!why.empty()) {
    if (failure) *failure = why;
    return nullptr;
  }
  return set;
}

std::unique_ptr<OpenAlSoundChannels> OpenAlSoundChannels::open_loopback(int frequency,
                                                                        std::string* failure) {
  auto fail = [&](const char* why) {
    if (failure) *failure = why;
    return nullptr;
  };
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
    return fail("OpenAL has no loopback device");
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto supported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
      alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
  if (!open || !supported) return fail("OpenAL has no loopback device");
  std::unique_ptr<OpenAlSoundChannels> set(new OpenAlSoundChannels);
  set->device_ = open(nullptr);
  set->loopback_ = true;
  if (!set->device_) return fail("the loopback device cannot be opened");
  if (!supported(as_device(set->device_), frequency, ALC_MONO_SOFT, ALC_SHORT_SOFT))
    return fail("the loopback device cannot render 16-bit mono at that rate");
  std::vector<int> attributes = context_attributes(false);
  attributes.insert(attributes.end(),
                    {ALC_FORMAT_CHANNELS_SOFT, ALC_MONO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                     ALC_FREQUENCY, frequency});
  if (std::string why = set->start(attributes); !why.empty()) {
    if (failure) *failure = why;
    return nullptr;
  }
  return set;
}

std::string OpenAlSoundChannels::start(const std::vector<int>& attributes) {
  std::vector<ALCint> list(attributes.begin(), attributes.end());
  list.push_back(0);
  context_ = alcCreateContext(as_device(device_), list.data());
  if (!context_) return "the sound output cannot be set up";
  make_current();
  ALCint frequency = 0;
  alcGetIntegerv(as_device(device_), ALC_FREQUENCY, 1, &frequency);
  output_frequency_ = frequency;
  alGetError();
  for (int i = 0; i < kChannelCount; ++i) {
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) break;  // the device gave fewer sources
    // Every sound plays where the listener stands, undimmed by distance.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    channels_.push_back(Channel{source});
  }
  if (channels_.empty()) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(as_context(context_));
    context_ = nullptr;
    return "the sound output gives no sound sources";
  }
  return {};
}

OpenAlSoundChannels::~OpenAlSoundChannels() {
  if (context_) {
    make_current();
    unload_all();
    for (Channel& c : channels_) alDeleteSources(1, &c.source);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(as_context(context_));
  }
  if (device_) alcCloseDevice(as_device(device_));
}

void OpenAlSoundChannels::make_current() const {
  if (alcGetCurrentContext() != as_context(context_)) alcMakeContextCurrent(as_context(context_));
}

bool OpenAlSoundChannels::render(int16_t* out, int count) {
  if (!loopback_ || count < 0) return false;
  static const auto render_samples =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!render_samples) return false;
  make_current();
  render_samples(as_device(device_), out, count);
  return true;
}

OpenAlSoundChannels::Channel* OpenAlSoundChannels::bound(int channel) {
  if (channel < 0 || channel >= channel_count() || channels_[channel].buffer == 0) return nullptr;
  make_current();
  return &channels_[channel];
}

const OpenAlSoundChannels::Channel* OpenAlSoundChannels::bound(int channel) const {
  if (channel < 0 || channel >= channel_count() || channels_[channel].buffer == 0) return nullptr;
  make_current();
  return &channels_[channel];
}

std::string OpenAlSoundChannels::read(const std::filesystem::path& file, MonoSound& sound) const {
  if (auto kept = kept_.find(file); kept != kept_.end()) {
    sound = kept->second;
    return {};
  }
  if (std::string failure = read_mono_sound(file, kChannelSoundLimits, sound); !failure.empty())
    return failure;
  // An empty recording still binds: it plays as a moment of silence.
  if (sound.samples.empty()) sound.samples.push_back(0);
  return {};
}

std::string OpenAlSoundChannels::preload(const std::filesystem::path& file) {
  if (kept_.contains(file)) return {};
  MonoSound sound;
  if (std::string failure = read(file, sound); !failure.empty()) return failure;
  kept_.emplace(file, std::move(sound));
  return {};
}

std::string OpenAlSoundChannels::load(int channel, const std::filesystem::path& file) {
  if (channel < 0 || channel >= channel_count())
    return file.string() + ": サウンドチャンネル " + std::to_string(channel) + " はありません";
  MonoSound sound;
  if (std::string failure = read(file, sound); !failure.empty()) return failure;
  make_current();
  Channel& c = channels_[channel];
  unbind(c);
  alGetError();
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, sound.samples.data(),
               static_cast<ALsizei>(sound.samples.size() * sizeof(int16_t)), sound.rate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return file.string() + ": 音声バッファを作成できません";
  }
  alSourcei(c.source, AL_BUFFER, static_cast<ALint>(buffer));
  alSourcef(c.source, AL_GAIN, 1.0f);
  alSourcef(c.source, AL_PITCH, 1.0f);
  c.buffer = buffer;
  c.file_rate = sound.rate;
  c.volume = 0;
  c.factor = 1.0;
  return {};
}

void OpenAlSoundChannels::unbind(Channel& c) {
  if (c.buffer == 0) return;
  alSourceStop(c.source);
  alSourcei(c.source, AL_BUFFER, 0);
  alDeleteBuffers(1, &c.buffer);
  c = Channel{c.source};
}

void OpenAlSoundChannels::unload_all() {
  make_current();
  for (Channel& c : channels_) unbind(c);
  kept_.clear();
}

bool OpenAlSoundChannels::has_sound(int channel) const {
  return bound(channel) != nullptr;
}

void OpenAlSoundChannels::play(int channel, bool looped) {
  Channel* c = bound(channel);
  if (!c) return;
  alSourceRewind(c->source);
  alSourcei(c->source, AL_LOOPING, looped ? AL_TRUE : AL_FALSE);
  alSourcePlay(c->source);
}

void OpenAlSoundChannels::play_once(int channel) {
  play(channel, false);
}
void OpenAlSoundChannels::play_looped(int channel) {
  play(channel, true);
}

void OpenAlSoundChannels::stop(int channel) {
  // Pausing keeps the place, as a stopped channel does; playing rewinds.
  if (Channel* c = bound(channel)) alSourcePause(c->source);
}

ChannelStatus OpenAlSoundChannels::status(int channel) const {
  const Channel* c = bound(channel);
  if (!c) return ChannelStatus::kStopped;
  ALint state = AL_STOPPED;
  ALint looping = AL_FALSE;
  alGetSourcei(c->source, AL_SOURCE_STATE, &state);
  alGetSourcei(c->source, AL_LOOPING, &looping);
  if (state != AL_PLAYING) return ChannelStatus::kStopped;
  return looping ? ChannelStatus::kLooping : ChannelStatus::kPlayingOnce;
}

void OpenAlSoundChannels::set_volume(int channel, int32_t hundredths_db) {
  Channel* c = bound(channel);
  if (!c) return;
  c->volume = hundredths_db;
  // Levels above full or below silence play at full or at -100 dB.
  const int32_t level = std::clamp<int32_t>(hundredths_db, -10000, 0);
  alSourcef(c->source, AL_GAIN, static_cast<float>(std::pow(10.0, level / 2000.0)));
}

int32_t OpenAlSoundChannels::volume(int channel) const {
  const Channel* c = bound(channel);
  return c ? c->volume : 0;
}

void OpenAlSoundChannels::set_frequency_factor(int channel, double factor) {
  Channel* c = bound(channel);
  if (!c) return;
  c->factor = factor;
  // A factor that gives no playable frequency (zero, negative, not a number)
  // leaves the channel playing at the frequency it had.
  if (!std::isfinite(factor) || factor <= 0.0) return;
  const double hz =
      std::clamp(std::round(c->file_rate * factor), double{kMinFrequency}, double{kMaxFrequency});
  alSourcef(c->source, AL_PITCH, static_cast<float>(hz / c->file_rate));
}

double OpenAlSoundChannels::frequency_factor(int channel) const {
  const Channel* c = bound(channel);
  return c ? c->factor : 1.0;
}

std::unique_ptr<SoundChannels> open_sound_channels(const SoundChannelsFactory& silent,
                                                   const char* device_name) {
  std::string failure;
  if (auto set = OpenAlSoundChannels::open_device(device_name, &failure)) return set;
  std::fprintf(stderr, "cabsim: %s; running without sound\n", failure.c_str());
  return silent ? silent() : nullptr;
}

}  // namespace cabsim

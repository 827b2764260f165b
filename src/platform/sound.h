// Short tone sequences, the program's sound cues: rendered to 16-bit mono
// PCM here and played through the system's sound output when there is one
// (silently dropped otherwise). Playing waits until the tones are out, as
// a beep does.
#pragma once

#include <cstdint>
#include <vector>

namespace pelikon {

struct Tone {
  int hz = 0;  // 0: a pause
  int ms = 0;
};

inline constexpr int kSoundSampleRate = 22050;

// The samples of `tones` at `rate`; each tone fades in and out over a
// millisecond so that it does not click.
std::vector<int16_t> RenderTones(const std::vector<Tone>& tones, int rate = kSoundSampleRate);

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays mono samples; false when there is no device to play on.
  virtual bool Play(const std::vector<int16_t>& samples, int rate) = 0;
};

// The system's sound device (ALSA "default"); silent when none opens.
SoundOutput& SystemSoundOutput();

}  // namespace pelikon

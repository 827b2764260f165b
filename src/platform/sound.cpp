#include "platform/sound.h"

#include <algorithm>
#include <cmath>

namespace pelikon {

std::vector<int16_t> RenderTones(const std::vector<Tone>& tones, int rate) {
  std::vector<int16_t> samples;
  constexpr double kAmplitude = 0.4 * 32767;
  const double pi = std::acos(-1.0);
  const int fade = std::max(1, rate / 1000);
  for (const Tone& tone : tones) {
    const int count = static_cast<int>(static_cast<int64_t>(tone.ms) * rate / 1000);
    for (int i = 0; i < count; ++i) {
      if (tone.hz <= 0) {
        samples.push_back(0);
        continue;
      }
      const double envelope = std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(count - 1 - i) / fade});
      const double value = kAmplitude * envelope * std::sin(2 * pi * tone.hz * i / rate);
      samples.push_back(static_cast<int16_t>(std::lround(value)));
    }
  }
  return samples;
}

}  // namespace pelikon

// A sound output that plays nothing and keeps which cue each sound was.
#pragma once

#include <cstdint>
#include <vector>

#include "link/progress/sound_cues.h"
#include "platform/sound.h"

namespace pelikon::testing {

class RecordingSound final : public SoundOutput {
 public:
  bool Play(const std::vector<int16_t>& samples, int) override {
    int kind = -1;  // none of the six
    for (int candidate = 0; candidate < 6 && kind < 0; ++candidate)
      if (RenderTones(SoundCues::Notes(candidate)) == samples) kind = candidate;
    cues.push_back(kind);
    return true;
  }
  std::vector<int> cues;
};

}  // namespace pelikon::testing

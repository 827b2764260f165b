// A sound output that plays nothing: tests and benchmarks make no noise.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sound.h"

namespace pelikon::testing {

class NoSound final : public SoundOutput {
 public:
  bool Play(const std::vector<int16_t>&, int) override { return true; }
};

}  // namespace pelikon::testing

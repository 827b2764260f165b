// The six sound cues (kinds 0 to 5) and the switch that silences them
// (settings value "sound" = 0).
#pragma once

#include <vector>

#include "platform/sound.h"

namespace pelikon {

class SoundCues {
 public:
  explicit SoundCues(SoundOutput& output = SystemSoundOutput()) : output_(output) {}

  void SetOn(bool on) { on_ = on; }
  bool On() const { return on_; }
  // Plays cue `kind`; nothing when cues are off or the kind is unknown.
  void PlaySound(int kind);
  // The notes of cue `kind` (empty for an unknown kind).
  static std::vector<Tone> Notes(int kind);

 private:
  SoundOutput& output_;
  bool on_ = true;
};

}  // namespace pelikon

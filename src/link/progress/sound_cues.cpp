#include "link/progress/sound_cues.h"

namespace pelikon {

std::vector<Tone> SoundCues::Notes(int kind) {
  const Tone gap{0, 15};
  switch (kind) {
    case 0:
      return {{460, 150}, gap, {440, 150}, gap, {380, 150}};
    case 1:
      return {{480, 150}, gap, {570, 150}, gap, {760, 150}};
    case 2:
      return {{480, 150}, gap, {570, 150}, gap, {480, 150}, gap, {570, 150}, gap};
    case 3:
      return {{810, 250}, {405, 250}};
    case 4:
      return {{570, 280}};
    case 5:
      return {{810, 100}, gap, {810, 100}};
    default:
      return {};
  }
}

void SoundCues::PlaySound(int kind) {
  if (!on_) return;
  const std::vector<Tone> notes = Notes(kind);
  if (notes.empty()) return;
  output_.Play(RenderTones(notes), kSoundSampleRate);
}

}  // namespace pelikon

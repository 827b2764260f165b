#include <alsa/asoundlib.h>

#include "platform/sound.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

// ALSA's own complaints (no card, no configuration) would land on stderr;
// the trace notes the one thing that matters, that cues are silent.
extern "C" void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

class AlsaOutput final : public SoundOutput {
 public:
  bool Play(const std::vector<int16_t>& samples, int rate) override {
    if (unavailable_ || samples.empty()) return false;
    snd_lib_error_set_handler(QuietAlsaErrors);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
      // No device now: do not try again on every cue.
      unavailable_ = true;
      Trace("\nSound: no output device; cues are silent");
      return false;
    }
    snd_pcm_nonblock(pcm, 0);
    bool played = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                     static_cast<unsigned>(rate), 1, 100000) == 0;
    size_t done = 0;
    while (played && done < samples.size()) {
      snd_pcm_sframes_t n = snd_pcm_writei(pcm, samples.data() + done, samples.size() - done);
      if (n < 0) n = snd_pcm_recover(pcm, static_cast<int>(n), 1);
      if (n < 0)
        played = false;
      else
        done += static_cast<size_t>(n);
    }
    if (played) snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    return played;
  }

 private:
  bool unavailable_ = false;
};

}  // namespace

SoundOutput& SystemSoundOutput() {
  static AlsaOutput output;
  return output;
}

}  // namespace pelikon

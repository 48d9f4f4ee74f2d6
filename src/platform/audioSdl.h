// The sound device of a Linux desktop: the stream of AudioMisturado written straight to the
// sound server where one answers (see saidaPulse.h), else opened by SDL2 audio (ALSA, or what
// SDL finds), whose callback plays the mixer.
#pragma once

#include <memory>

#include "platform/audioMisturado.h"

// The system's sound device (see AudioMisturado).
class AudioSdl final : public AudioMisturado {
  public:
    // soSdl: through SDL even where the server answers (the benches' baseline).
    explicit AudioSdl(int intervaloTentativaMs = kIntervaloTentativaMs, bool soSdl = false);
    // An audio layer whether or not a device opens now (see semDispositivo).
    static std::unique_ptr<AudioSdl> cria();
};

// The sound device through SDL2 audio: the stream of AudioMisturado opened by SDL, whose
// callback plays the mixer.
#pragma once

#include <memory>

#include "platform/audioMisturado.h"

// The system's sound device through SDL (see AudioMisturado).
class AudioSdl final : public AudioMisturado {
  public:
    explicit AudioSdl(int intervaloTentativaMs = kIntervaloTentativaMs);
    // An audio layer whether or not a device opens now (see semDispositivo).
    static std::unique_ptr<AudioSdl> cria();
};

#pragma once

#include <memory>

#include "ui/AudioPlayer.h"

class QSoundEffect;

namespace qlm {

// Wave files through the toolkit's sound output; unavailable where the system has no audio
// output, so that the test runs silently there.
class QtAudioPlayer : public AudioPlayer {
public:
    QtAudioPlayer();
    ~QtAudioPlayer() override;

    bool available() const override;
    bool play(const std::string& waveFile, std::string& error) override;
    void stop() override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

}  // namespace qlm

#pragma once

#include <string>

namespace qlm {

// Wave audio for the spoken prompts: one sound at a time, opened by its file name.
class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;
    // Whether sound can be heard at all; a silent player says no, so no repeat hint is shown.
    virtual bool available() const = 0;
    // Starts the wave file and returns at once; false when it could not be opened or played,
    // with `error` set to the error number, a colon and its description ("70:Permission
    // denied").
    virtual bool play(const std::string& waveFile, std::string& error) = 0;
    // Stops and closes whatever is playing; harmless when nothing is.
    virtual void stop() = 0;
};

// The player where no audio output exists: nothing is heard and nothing fails.
class SilentAudioPlayer : public AudioPlayer {
public:
    bool available() const override { return false; }
    bool play(const std::string&, std::string&) override { return true; }
    void stop() override {}
};

}  // namespace qlm

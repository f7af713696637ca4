#include "testing/SoundFiles.h"

#include <cctype>

#include "storage/ClientRecord.h"

namespace qlm {

std::string SoundFolder(std::string_view soundPath, std::string_view language) {
    return std::string(soundPath) + "/QLMTest/sound/" + std::string(language) + "/";
}

std::string SoundFileName(std::string_view audioName) {
    return Trim(audioName) + ".wav";
}

std::string ExpandShortSoundName(std::string_view name) {
    const std::string bare = Trim(name);
    if (bare.size() == 1) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(bare[0])));
        for (const auto& sound : ShortSounds) {
            if (sound.name[0] == upper) {
                return sound.file;
            }
        }
    }
    return std::string(name);
}

std::string SoundFilePath(std::string_view soundPath, std::string_view language,
                          std::string_view name) {
    return SoundFolder(soundPath, language) + Trim(ExpandShortSoundName(name));
}

}  // namespace qlm

#include "testing/SoundFiles.h"

#include <cctype>
#include <cstdint>

#include "storage/ClientRecord.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// RIFF WAVE with a format chunk the player decodes (integer or float PCM, or the extensible
// form of them) before a data chunk that holds something.
bool playableWave(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return false;
    }
    bool format = false;
    for (std::uint64_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = littleEndian(bytes, at + 4, 4);
        const std::uint64_t body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > bytes.size()) {
                return false;
            }
            const std::uint32_t coding = littleEndian(bytes, body, 2);
            const std::uint32_t bits = littleEndian(bytes, body + 14, 2);
            format = (coding == 1 || coding == 3 || coding == 0xFFFE) &&
                     littleEndian(bytes, body + 2, 2) > 0 && littleEndian(bytes, body + 4, 4) > 0 &&
                     (bits == 8 || bits == 16 || bits == 32);
        } else if (id == "data") {
            return format && size > 0 && body < bytes.size();
        }
        at = body + size + (size & 1U);
    }
    return false;
}

}  // namespace

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

SpokenPrompts SpokenPromptsFor(bool deviceFound, const FileSystem& files,
                               std::string_view soundPath, std::string_view language) {
    if (!deviceFound) {
        return SpokenPrompts::NoDevice;
    }
    return files.exists(SoundFilePath(soundPath, language, InstructionAudioFile[0]))
               ? SpokenPrompts::On
               : SpokenPrompts::NoFiles;
}

std::string SoundFileProblem(const FileSystem& files, const std::string& path) {
    try {
        return playableWave(files.readFile(path)) ? std::string() : "321:Invalid file format";
    } catch (const FileError& error) {
        return std::to_string(error.number()) + ":" + error.description();
    }
}

}  // namespace qlm

#pragma once

#include <array>
#include <string>
#include <string_view>

#include "testing/TestTexts.h"

namespace qlm {

class FileSystem;

// The instruction sounds: general instructions, section 1, section 2.
inline constexpr std::array<const char*, 3> InstructionAudioFile{"Inst0.wav", "Inst1.wav",
                                                                 "Inst2.wav"};

// A short name and the file it stands for.
struct ShortSound {
    const char* name;
    const char* file;
};
inline constexpr std::array<ShortSound, 4> ShortSounds{
    {{"T", "True.wav"}, {"F", "False.wav"}, {"Y", "Yes.wav"}, {"N", "No.wav"}}};

// The sound folder of a language: SoundPath + "/QLMTest/sound/" + language + "/".
std::string SoundFolder(std::string_view soundPath, std::string_view language);

// The wave file named by a QuestionAudio or ChoiceAudio value: its text without blanks at
// either end, followed by ".wav".
std::string SoundFileName(std::string_view audioName);

// The full file name of a bare short name ("t", " N " ...: trimmed and upper-cased exactly T, F,
// Y or N); any other name is returned unchanged. A name that already ends in ".wav" is never a
// short name.
std::string ExpandShortSoundName(std::string_view name);

// Where a sound is looked up: the folder followed by the (expanded) name without blanks at
// either end.
std::string SoundFilePath(std::string_view soundPath, std::string_view language,
                          std::string_view name);

// Whether the test in `language` will speak: a sound device, and the general instructions' sound
// in the language's folder (a folder without it holds no sounds worth playing).
SpokenPrompts SpokenPromptsFor(bool deviceFound, const FileSystem& files,
                               std::string_view soundPath, std::string_view language);

// What keeps a wave file from being played, as an error number, a colon and its description
// ("53:File not found", "321:Invalid file format"); empty when it can be. A file that opens but
// is no PCM wave file would otherwise play nothing and say nothing.
std::string SoundFileProblem(const FileSystem& files, const std::string& path);

}  // namespace qlm

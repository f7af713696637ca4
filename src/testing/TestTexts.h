#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qlm {

// The instruction texts of the on-screen test: 0 general, 1 section 1, 2 section 2, 3 empty.
using InstructionTexts = std::array<std::string, 4>;

// Whether the test will speak, as the staff are told before it starts.
enum class SpokenPrompts { On, NoDevice, NoFiles };

// Every text of the on-screen test in one language, UTF-8. A further language is one more
// table in TestTexts.cpp: no screen holds a text of its own.
struct TestTexts {
    // The question-bank table these texts belong to.
    const char* Language;
    const char* Caption;
    const char* InstructionsCaption;
    const char* QuestionCaption;
    const char* AnswerCaption;
    const char* InstructionPrompt;
    const char* QuestionPrompt;
    const char* ChoicePromptWithSound;
    const char* ChoicePromptSilent;
    const char* EndOfPartTitle;
    const char* EndOfPartText;
    const char* EndOfTestTitle;
    const char* EndOfTestText;
    // Asked, under the caption, before answers not yet saved are given up.
    const char* LeaveText;
    const char* SoundErrorTitle;
    // %1: the error number, a colon and its description.
    const char* SoundErrorText;
    const char* RetryAdvice;
    const char* ResumeTitle;
    // %1: the client's name (or NewClient), %2: the item reached.
    const char* ResumeText;
    const char* NewClient;
    // By SpokenPrompts.
    std::array<const char*, 3> Spoken;
    InstructionTexts Instructions;
};

// The texts of `language` (its table name, any case); English for a language without a table.
const TestTexts& TextsFor(std::string_view language);

// The instruction texts of `language`: lines end in CR LF.
InstructionTexts SetInstructionText(std::string_view language);

// `text` with %1 and %2 replaced by the values given.
std::string FillIn(std::string_view text, std::string_view first, std::string_view second = {});

}  // namespace qlm

#pragma once

#include <functional>
#include <optional>
#include <string>

namespace qlm {

// The chains of modal screens that enter a client. Each step shows one screen and returns
// whether its user completed it; the next screen opens only then. A step left empty is a screen
// that cannot be completed: the chain stops there.

// Client information, court history and the answer grid.
struct DataEntrySteps {
    std::function<bool()> clientInfo;
    std::function<bool()> courtHistory;
    std::function<bool()> answerGrid;
};

// Client information, court history, the language choice and the test on screen.
struct OnscreenTestSteps {
    std::function<bool()> clientInfo;
    std::function<bool()> courtHistory;
    // How many language tables the question bank holds (it prepares the language choices).
    std::function<int()> languageCount;
    // The language chosen, or nothing when the choice was cancelled.
    std::function<std::optional<std::string>()> selectLanguage;
    // The test presented from the question-bank table of that name.
    std::function<void(const std::string& language)> presentTest;
};

// The language a question bank of at most one language table is presented in.
inline constexpr const char* DefaultLanguage = "English";

// A new client from a paper answer sheet, or an existing client edited: client information,
// court history, answer grid. True when the last screen was completed.
bool RunDataEntrySequence(const DataEntrySteps& steps);
// A new client tested on screen: client information, court history, the language choice
// when the bank holds more than one language, then the test.
void RunOnscreenTestSequence(const OnscreenTestSteps& steps);

}  // namespace qlm

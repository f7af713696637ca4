#pragma once

#include <functional>
#include <string>

namespace qlm {

// The chains of modal screens that enter a client. Each step shows one screen and returns when
// it closes; a screen sets the shared ContinueEntry flag when its user completed it, and the
// next screen opens only while the flag is set. A step left empty is a screen that cannot be
// completed: the chain stops there.

// Client information, court history and the answer grid.
struct DataEntrySteps {
    std::function<void()> showClientInfo;
    std::function<void()> showCourtHistory;
    std::function<void()> showNewEntry;

    bool complete() const { return showClientInfo && showCourtHistory && showNewEntry; }
};

// Client information, court history, the language choice and the test on screen.
struct OnscreenTestSteps {
    std::function<void()> showClientInfo;
    std::function<void()> showCourtHistory;
    // How many language tables the question bank holds (it prepares the language choices).
    std::function<int()> languageCount;
    // The language choice; returns the language chosen, which counts only when the screen
    // set ContinueEntry.
    std::function<std::string()> showSelectLanguage;
    // The test presented from the question-bank table of that name.
    std::function<void(const std::string& language)> showPresentQA;

    bool complete() const {
        return showClientInfo && showCourtHistory && languageCount && showSelectLanguage &&
               showPresentQA;
    }
};

// The language a question bank of at most one language table is presented in.
inline constexpr const char* DefaultLanguage = "English";

// A new client from a paper answer sheet: client information, court history, answer grid,
// the flag cleared before each screen after the first.
void RunPaperSheetSequence(bool& continueEntry, const DataEntrySteps& steps);
// An existing client edited from the main menu: client information, court history, answer
// grid; the flag is cleared before the court history only.
void RunEditSequence(bool& continueEntry, const DataEntrySteps& steps);
// A new client tested on screen: client information, court history, the language choice
// when the bank holds more than one language, then the test.
void RunOnscreenTestSequence(bool& continueEntry, const OnscreenTestSteps& steps);

}  // namespace qlm

#include "testing/EntrySequence.h"

namespace qlm {

namespace {

// Shows the screen of `step` when the previous one was completed; false when the chain ends.
template <typename Step>
bool next(bool& continueEntry, bool clearFirst, const Step& step) {
    if (!continueEntry) {
        return false;
    }
    if (clearFirst) {
        continueEntry = false;
    }
    if (!step) {
        continueEntry = false;
        return false;
    }
    step();
    return true;
}

// Every chain begins with the client information screen. The flag is cleared first: left set
// by an earlier chain, it would open the court history after a client information screen that
// was closed without being completed.
bool begin(bool& continueEntry, const std::function<void()>& showClientInfo) {
    continueEntry = false;
    if (!showClientInfo) {
        return false;
    }
    showClientInfo();
    return true;
}

}  // namespace

void RunPaperSheetSequence(bool& continueEntry, const DataEntrySteps& steps) {
    if (begin(continueEntry, steps.showClientInfo) &&
        next(continueEntry, true, steps.showCourtHistory)) {
        next(continueEntry, true, steps.showNewEntry);
    }
}

void RunEditSequence(bool& continueEntry, const DataEntrySteps& steps) {
    if (begin(continueEntry, steps.showClientInfo) &&
        next(continueEntry, true, steps.showCourtHistory)) {
        next(continueEntry, false, steps.showNewEntry);
    }
}

void RunOnscreenTestSequence(bool& continueEntry, const OnscreenTestSteps& steps) {
    if (!begin(continueEntry, steps.showClientInfo) ||
        !next(continueEntry, true, steps.showCourtHistory) || !continueEntry) {
        return;
    }
    if (!steps.languageCount || !steps.showSelectLanguage || !steps.showPresentQA) {
        continueEntry = false;
        return;
    }
    std::string language = DefaultLanguage;
    if (steps.languageCount() > 1) {
        continueEntry = false;
        language = steps.showSelectLanguage();
    }
    if (continueEntry) {
        steps.showPresentQA(language);
    }
}

}  // namespace qlm

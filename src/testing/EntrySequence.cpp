#include "testing/EntrySequence.h"

namespace qlm {

namespace {

bool completed(const std::function<bool()>& step) {
    return step && step();
}

}  // namespace

bool RunDataEntrySequence(const DataEntrySteps& steps) {
    return completed(steps.clientInfo) && completed(steps.courtHistory) &&
           completed(steps.answerGrid);
}

void RunOnscreenTestSequence(const OnscreenTestSteps& steps) {
    if (!completed(steps.clientInfo) || !completed(steps.courtHistory) || !steps.languageCount ||
        !steps.selectLanguage || !steps.presentTest) {
        return;
    }
    std::optional<std::string> language = DefaultLanguage;
    if (steps.languageCount() > 1) {
        language = steps.selectLanguage();
    }
    if (language) {
        steps.presentTest(*language);
    }
}

}  // namespace qlm

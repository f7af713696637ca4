#include "answersheet/Verification.h"

#include "scoring/TestSpec.h"

namespace qlm {

Verification::Verification(std::string storedAnswers, int lastTrueFalseItem)
    : m_storedAnswers(std::move(storedAnswers)),
      m_lastTrueFalseItem(lastTrueFalseItem),
      m_entryString(TestSpec::ItemCount, '0') {
    for (int item = 1; item <= TestSpec::ItemCount; ++item) {
        m_questionList.push_back(item);
    }
}

bool Verification::accepts(int item, char key) const {
    const char highest = item <= m_lastTrueFalseItem ? '2' : '4';
    return key >= '0' && key <= highest;
}

VerifyStep Verification::type(char key) {
    const int item = currentItem();
    if (!accepts(item, key)) {
        return VerifyStep::Refused;
    }
    m_entryString[static_cast<std::size_t>(item - 1)] = key;
    if (++m_position <= QuestionCount()) {
        return VerifyStep::Next;
    }
    if (m_correctionMode) {
        m_position = QuestionCount();
        return VerifyStep::Complete;
    }
    std::vector<int> differing = differingItems();
    if (differing.empty()) {
        m_position = QuestionCount();
        return VerifyStep::NoCorrections;
    }
    m_correctionMode = true;
    m_questionList = std::move(differing);
    m_position = 1;
    return VerifyStep::CorrectionsNeeded;
}

bool Verification::backspace() {
    if (m_position < 2) {
        return false;
    }
    --m_position;
    return true;
}

std::vector<int> Verification::differingItems() const {
    std::vector<int> items;
    for (int item = 1; item <= TestSpec::ItemCount; ++item) {
        const auto i = static_cast<std::size_t>(item - 1);
        // A character the stored text lacks differs from every digit.
        if (i >= m_storedAnswers.size() || m_storedAnswers[i] != m_entryString[i]) {
            items.push_back(item);
        }
    }
    return items;
}

}  // namespace qlm

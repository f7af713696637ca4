#pragma once

#include <string>
#include <vector>

namespace qlm {

// What a key did to the verification.
enum class VerifyStep {
    Refused,            // not a digit, or out of the item's range: beep, nothing changes
    Next,               // stored; the next item of the pass is current
    CorrectionsNeeded,  // the second entry ended with differences: the correction pass begins
    NoCorrections,      // the second entry ended equal to the stored answers
    Complete,           // the correction pass ended: EntryString() is the verified answers
};

// A client's answers typed a second time, item by item, then compared with the stored ones;
// the items that differ are typed a third time. The stored text is compared as it stands,
// position by position, so that items never answered at its start do not shift the rest.
class Verification {
public:
    // `lastTrueFalseItem`: items up to it take "0" to "2", later ones "0" to "4".
    Verification(std::string storedAnswers, int lastTrueFalseItem);

    bool CorrectionMode() const { return m_correctionMode; }
    int QuestionCount() const { return static_cast<int>(m_questionList.size()); }
    // From 1.
    int Position() const { return m_position; }
    int currentItem() const { return itemAt(m_position); }
    // The item entered before the current one in this pass, or 0 at its start.
    int previousItem() const { return m_position >= 2 ? itemAt(m_position - 1) : 0; }
    char entered(int item) const { return m_entryString[static_cast<std::size_t>(item - 1)]; }
    const std::string& EntryString() const { return m_entryString; }

    bool accepts(int item, char key) const;
    VerifyStep type(char key);
    // Back to the previous item of the pass; false (a beep) on its first item.
    bool backspace();

    // The items whose stored answer differs from the second entry, in order.
    std::vector<int> differingItems() const;

private:
    int itemAt(int position) const {
        return m_questionList[static_cast<std::size_t>(position - 1)];
    }

    std::string m_storedAnswers;
    int m_lastTrueFalseItem;
    std::string m_entryString;
    std::vector<int> m_questionList;
    int m_position = 1;
    bool m_correctionMode = false;
};

}  // namespace qlm

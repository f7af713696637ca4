#pragma once

#include <array>
#include <string>

#include "scoring/TestSpec.h"
#include "testing/BankItem.h"
#include "testing/QuestionBankRecordset.h"

namespace qlm {

// What the presentation shows after moving on.
enum class NextShown {
    Item,                    // the next item
    SectionTwoInstructions,  // the first item of section 2, behind its instructions
    EndOfTest,               // every item was answered
};

// What the box after a choice says.
enum class AfterChoice { Nothing, EndOfPart, EndOfTest };

// The on-screen test's walk through a language table: one item at a time, the choice given for
// each, and stepping back one item. The table stands on its first row.
class Presentation {
public:
    explicit Presentation(QuestionBankRecordset records);

    // Moves to the next item, or ends the test after the last one.
    NextShown GetNextQuestion();
    // Steps back one item (to the last one after the end of the test); false (a beep) on the
    // first item.
    bool goBack();
    // Answer i (0 to 4) for the item on screen. The caller shows the box it asks for, then
    // calls GetNextQuestion.
    AfterChoice choose(int i);

    int QuestionNumber() const { return m_questionNumber; }
    const BankItem& item() const { return m_item; }
    // 1 to 5 per item (index 0 unused); 0 for an item never answered.
    const std::array<int, TestSpec::ItemCount + 1>& ItemResponses() const {
        return m_itemResponses;
    }
    // Takes up a test that was interrupted: the answers given, and item `reached` on screen.
    void resume(const std::array<int, TestSpec::ItemCount + 1>& responses, int reached);
    // The 109 answers as the record stores them: "0" for none, "1" to "5".
    std::string answerText() const;

private:
    QuestionBankRecordset m_records;
    BankItem m_item;
    std::array<int, TestSpec::ItemCount + 1> m_itemResponses{};
    int m_questionNumber = 0;
    bool m_firstQuestion = true;
    bool m_goingBack = false;
};

}  // namespace qlm

#include "testing/Presentation.h"

namespace qlm {

namespace {

constexpr int LastTrueFalseItem = TestSpec::TrueFalseItemCount;
constexpr int LastItem = TestSpec::ItemCount;

}  // namespace

Presentation::Presentation(QuestionBankRecordset records) : m_records(std::move(records)) {
    m_records.first();
    GetNextQuestion();
    m_itemResponses.fill(0);
}

NextShown Presentation::GetNextQuestion() {
    if (m_firstQuestion) {
        m_questionNumber = 1;
        m_firstQuestion = false;
    } else {
        ++m_questionNumber;
    }
    if (m_questionNumber > LastItem && !m_goingBack) {
        return NextShown::EndOfTest;
    }
    if (m_questionNumber > 1) {
        m_records.next();
        m_questionNumber = m_records.number("ID");
    }
    m_item = ReadBankItem(m_records);
    if (!m_goingBack && m_questionNumber == LastTrueFalseItem + 1) {
        return NextShown::SectionTwoInstructions;
    }
    return NextShown::Item;
}

bool Presentation::goBack() {
    if (!m_records.bof() && m_records.number("ID") == 1) {
        return false;
    }
    if (m_records.bof()) {
        m_records.first();
        return false;
    }
    m_records.previous();
    if (m_records.bof()) {
        m_records.first();
        return false;
    }
    // One row more, because moving on steps forward one: the item before the one on screen.
    // After the end of the test no item is on screen, and the last one comes back.
    if (m_questionNumber <= LastItem) {
        m_records.previous();
    }
    m_goingBack = true;
    GetNextQuestion();
    m_goingBack = false;
    return true;
}

AfterChoice Presentation::choose(int i) {
    const int n = m_item.ID;
    m_itemResponses.at(static_cast<std::size_t>(n)) = i + 1;
    if (n == LastTrueFalseItem) {
        return AfterChoice::EndOfPart;
    }
    if (n == LastItem) {
        return AfterChoice::EndOfTest;
    }
    return AfterChoice::Nothing;
}

void Presentation::resume(const std::array<int, TestSpec::ItemCount + 1>& responses, int reached) {
    m_itemResponses = responses;
    // Walked to as when stepping back, so that no section's instructions come up on the way.
    m_goingBack = true;
    while (m_item.ID < reached && m_item.ID < LastItem) {
        GetNextQuestion();
    }
    m_goingBack = false;
}

std::string Presentation::answerText() const {
    std::string text;
    for (int n = 1; n <= LastItem; ++n) {
        text += std::to_string(m_itemResponses[static_cast<std::size_t>(n)]).back();
    }
    return text;
}

}  // namespace qlm

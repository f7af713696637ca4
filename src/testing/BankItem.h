#pragma once

#include <array>
#include <optional>
#include <string>

namespace qlm {

class QuestionBankRecordset;

// One item of a language table as the test presents it. Choices are numbered 1 to 5 by their
// column, which is also the answer digit stored for them.
struct BankItem {
    static constexpr int MaxChoices = 5;

    int ID = 0;
    std::string TestQuestion;
    std::string QuestionAudioFile;
    // Indexed 1 to 5 (element 0 unused); nullopt for a choice that is not offered.
    std::array<std::optional<std::string>, MaxChoices + 1> Answer;
    std::array<std::string, MaxChoices + 1> ChoiceAudioFile;

    bool offered(int choice) const { return Answer[static_cast<std::size_t>(choice)].has_value(); }
};

// Reads the current row. Choices 1 and 2 are always offered (a NULL text shows as empty);
// choices 3 to 5 only when their text is neither NULL nor empty, each judged by its own
// column, and only their sound names are read.
BankItem ReadBankItem(const QuestionBankRecordset& records);

// The question as shown and spoken: the item number, ". " and the statement.
std::string QuestionText(const BankItem& item);

}  // namespace qlm

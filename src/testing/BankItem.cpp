#include "testing/BankItem.h"

#include "testing/QuestionBankRecordset.h"
#include "testing/SoundFiles.h"

namespace qlm {

BankItem ReadBankItem(const QuestionBankRecordset& records) {
    BankItem item;
    item.ID = records.number("ID");
    item.TestQuestion = records.text("TestQuestion");
    item.QuestionAudioFile = SoundFileName(records.text("QuestionAudio"));
    for (int k = 1; k <= BankItem::MaxChoices; ++k) {
        const auto index = static_cast<std::size_t>(k);
        const std::string number = std::to_string(k);
        const auto& answer = records.value("ANSWER" + number);
        if (k <= 2 || (answer && !answer->empty())) {
            item.Answer[index] = answer.value_or(std::string());
            item.ChoiceAudioFile[index] = SoundFileName(records.text("ChoiceAudio" + number));
        }
    }
    return item;
}

std::string QuestionText(const BankItem& item) {
    return std::to_string(item.ID) + ". " + item.TestQuestion;
}

}  // namespace qlm

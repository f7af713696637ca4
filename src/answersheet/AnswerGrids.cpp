#include "answersheet/AnswerGrids.h"

#include <algorithm>

#include "testing/QuestionBank.h"
#include "testing/QuestionBankRecordset.h"

namespace qlm {

namespace {

constexpr std::array<AnswerKind, AnswerKindCount> Kinds{{
    {2, 1120, "0=No answer, 1=True, 2=False, Tab=Next grid"},
    {2, 1120, "0=No answer, 1=Yes, 2=No, Tab=Next grid"},
    {4, 1550, "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"},
    {4, 1550, "0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, Tab=Next grid"},
    {5, 1750,
     "0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly False, 5=False, Tab=Next "
     "grid"},
    {5, 1750,
     "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, Tab=Next "
     "grid"},
}};

constexpr const char* EnglishTable = "English";

}  // namespace

const AnswerKind& AnswerKindInfo(int kind) {
    return Kinds.at(static_cast<std::size_t>(kind));
}

int AnswerKindOf(std::string_view answer2) {
    const std::string_view start = answer2.substr(0, 5);
    if (start == "False") {
        return 0;
    }
    if (answer2 == "No") {
        return 1;
    }
    if (start == "Somet") {
        return 3;
    }
    if (start == "Mostl") {
        return 4;
    }
    if (start == "Often") {
        return 5;
    }
    return 2;
}

bool KindAcceptsDigit(int kind, char key) {
    if (key < '0' || key > '5') {
        return false;
    }
    return key - '0' <= AnswerKindInfo(kind).columns;
}

std::vector<AnswerGrid> BuildAnswerGrids(QuestionBankRecordset& records) {
    std::vector<AnswerGrid> grids;
    for (records.first(); !records.eof(); records.next()) {
        const int kind = AnswerKindOf(records.text("ANSWER2"));
        auto grid = std::find_if(grids.begin(), grids.end(),
                                 [kind](const AnswerGrid& g) { return g.kind == kind; });
        if (grid == grids.end()) {
            grid = grids.insert(grids.end(), AnswerGrid{kind, {}});
        }
        grid->items.push_back(records.number("ID"));
    }
    return grids;
}

std::vector<AnswerGrid> ReadAnswerGrids(const std::string& bankPath) {
    const QuestionBank bank(bankPath);
    QuestionBankRecordset records = bank.openTable(EnglishTable);
    return BuildAnswerGrids(records);
}

GridAnswers GridAnswersOf(std::string_view answers) {
    GridAnswers grid;
    grid.fill(' ');
    grid[0] = '\0';
    const std::size_t n = std::min<std::size_t>(answers.size(), TestSpec::ItemCount);
    std::copy_n(answers.begin(), n, grid.begin() + 1);
    return grid;
}

std::string JoinGridAnswers(const GridAnswers& answers) {
    return {answers.begin() + 1, answers.end()};
}

int MarkedColumn(char answer) {
    return answer >= '1' && answer <= '5' ? answer - '0' : 0;
}

std::vector<int> UnansweredItems(const GridAnswers& answers) {
    std::vector<int> items;
    for (int item = 1; item <= TestSpec::ItemCount; ++item) {
        if (MarkedColumn(answers[static_cast<std::size_t>(item)]) == 0) {
            items.push_back(item);
        }
    }
    return items;
}

bool FillScannedAnswers(std::string& answers) {
    const auto whole = static_cast<std::size_t>(TestSpec::ItemCount);
    if (answers.size() >= whole) {
        return false;
    }
    answers.resize(whole, '0');
    return true;
}

}  // namespace qlm

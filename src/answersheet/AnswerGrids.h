#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/TestSpec.h"

namespace qlm {

class QuestionBankRecordset;

// The answer scales of the paper answer sheet. A kind is stored as the grid's tag, "0" to "5".
struct AnswerKind {
    int columns;         // answer columns after "Num"
    int widthTwips;      // the grid's width
    const char* legend;  // shown while the grid has the focus
};

inline constexpr int AnswerKindCount = 6;

const AnswerKind& AnswerKindInfo(int kind);
// The kind of an item, judged by the start of its second answer's text.
int AnswerKindOf(std::string_view answer2);
// Whether a grid of `kind` takes the typed key: "0" to "2" always, "3" and "4" from kind 2 on,
// "5" in kinds 4 and 5.
bool KindAcceptsDigit(int kind, char key);

// One grid: its kind and its items in the bank's order.
struct AnswerGrid {
    int kind = 0;
    std::vector<int> items;
};

// The grids of a language table, one per kind, in the order the kinds first occur.
std::vector<AnswerGrid> BuildAnswerGrids(QuestionBankRecordset& records);
// The same for the "English" table of the question bank at `bankPath` (DataFileError on a bank
// that cannot be read).
std::vector<AnswerGrid> ReadAnswerGrids(const std::string& bankPath);

// The answer being edited per item, 1 to 109 (element 0 unused): "0" to "5", or a blank for an
// item never answered.
using GridAnswers = std::array<char, TestSpec::ItemCount + 1>;

// A record's answer text, character by character; items past its end are blank.
GridAnswers GridAnswersOf(std::string_view answers);
// The 109 answers in item order, as the record stores them.
std::string JoinGridAnswers(const GridAnswers& answers);
// The answer column (1 to 5) that shows an "X" for `answer`, or 0 for none.
int MarkedColumn(char answer);
// The items that show no answer ("0", a blank or anything but "1" to "5"), in item order.
std::vector<int> UnansweredItems(const GridAnswers& answers);

// Scanned answers that came short are filled up with "0" to a whole answer text; true when
// anything was missing.
bool FillScannedAnswers(std::string& answers);

}  // namespace qlm

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "report/Report.h"
#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "storage/CodeTexts.h"

namespace qlm {

namespace {

constexpr int RightColumn = 44;

// Ends a listing with an empty line unless the page has just begun or is full.
void closingEmptyLine(ReportWriter& out) {
    if (out.ReportLine > 2 && out.ReportLine < ReportWriter::LastLine) {
        out.endLine();
        ++out.ReportLine;
    }
}

// A row of two columns; an exactly full page starts a new one.
void twoColumnRow(ReportWriter& out, const std::string* left, const std::string* right) {
    if (left != nullptr) {
        out.blanks(7).text(*left);
    }
    if (right != nullptr) {
        out.atColumn(RightColumn).text(*right);
    }
    out.endLine();
    ++out.ReportLine;
    if (out.ReportLine == ReportWriter::LastLine) {
        out.PrintPageHeader();
    }
}

char answerCharacter(int item, int answer, int lastTrueFalseItem) {
    if (item <= lastTrueFalseItem) {
        return answer == 1 ? 'T' : answer == 2 ? 'F' : '0';
    }
    return std::to_string(answer).back();
}

// Item numbers right-aligned in three characters, as the answer texts begin.
std::string itemNumber(int item) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%3d", item);
    return buffer;
}

}  // namespace

void PrintSupplemental(ReportWriter& out, const ReportInputs& in) {
    auto& counts = in.Scoring.CourtCounts;
    for (std::size_t k = 1; k <= 11; ++k) {
        if (counts[k].size() < 2) {
            counts[k] = " " + counts[k];
        }
    }
    out.atColumn(21).text("JUVENILE PROVIDED SUPPLEMENTAL INFORMATION").endLine();
    out.atColumn(21).text("------------------------------------------").endLine();
    out.line(7, "Age at first arrest..........." + counts[1]);
    out.blanks(7).text("Number of:").atColumn(RightColumn).text("Number of:").endLine();
    struct Pair {
        std::string_view left;
        std::size_t leftCount;
        std::string_view right;
        std::size_t rightCount;
    };
    constexpr Pair pairs[] = {
        {"Times picked up for Truancy..", 2, "Times held in detention......", 7},
        {"Runaways.....................", 3, "Court Convictions............", 8},
        {"Times Arrested...............", 4, "DUI arrests..................", 9},
        {"Times on probation...........", 5, "Alcohol-related arrests......", 10},
        {"Probation Revocations........", 6, "Drug-related arrests.........", 11},
    };
    for (const Pair& pair : pairs) {
        out.atColumn(9).text(pair.left).text(counts[pair.leftCount]);
        out.atColumn(RightColumn + 1).text(pair.right).text(counts[pair.rightCount]).endLine();
    }
    out.endLine();
    out.ReportLine += 10;
}

void PrintResponses(ReportWriter& out, const ReportInputs& in, int testNumber) {
    const int lastTrueFalse = in.Constants.SectionEnd[1];
    const auto answers = [&](int from, int to, bool grouped) {
        for (int item = from; item <= to; ++item) {
            const int answer = in.Scoring.ItemAnswers[static_cast<std::size_t>(item)];
            out.text(std::string(1, answerCharacter(item, answer, lastTrueFalse)));
            if (grouped && item % 10 == 0) {
                out.text(" ");
            }
        }
        out.endLine();
    };
    out.atColumn(26).text("Quillmere Responses");
    out.atColumn(62).text("(QLM TEST #").number(testNumber).text(")").endLine();
    out.atColumn(26).text("---------------------------------").endLine();
    out.blanks(8).text(" 1- 50").blanks(2);
    answers(1, 50, true);
    out.blanks(8).text("51-100").blanks(2);
    answers(51, 100, true);
    out.blanks(6).text(" 101-109  ");
    answers(101, 109, false);
    out.ReportLine += 6;
    if (out.ReportLine < ReportWriter::LastLine) {
        out.endLine();
        ++out.ReportLine;
    }
}

void PrintSignificantItems(ReportWriter& out, const ReportInputs& in) {
    struct Listed {
        std::string_view heading;
        std::size_t first;
        std::size_t last;
        std::vector<std::string> lines;
    };
    Listed listed[] = {
        {"ALCOHOL", 1, 13, {}},
        {"DRUGS", 14, 28, {}},
        {"ANTISOCIAL", 29, 42, {}},
        {"VIOLENCE", 43, 55, {}},
    };
    const ScoringTables& tables = in.Tables;
    for (Listed& scale : listed) {
        for (std::size_t k = scale.first; k <= scale.last; ++k) {
            const auto item = static_cast<std::size_t>(tables.SignificantItem[k]);
            if (in.Scoring.ItemScore.at(item) > 0) {
                scale.lines.push_back(tables.SignificantItemText[k]);
            }
        }
        if (scale.lines.empty()) {
            scale.lines = {"Note: No significant items were", "reported for this scale."};
        }
    }

    out.paragraph({"SIGNIFICANT ITEMS:  These answers are the  juvenile's actual responses.",
                   "They  represent  direct  admissions  or unusual  answers, which help in",
                   "understanding  the  juvenile's  situation. These  answers  reflect  the",
                   "juvenile's opinions, with all their biases."});

    for (std::size_t pair = 0; pair < 2; ++pair) {
        const Listed& left = listed[2 * pair];
        const Listed& right = listed[2 * pair + 1];
        out.blanks(7).text(left.heading).atColumn(RightColumn).text(right.heading).endLine();
        out.blanks(7).text(std::string(left.heading.size(), '-'));
        out.atColumn(RightColumn).text(std::string(right.heading.size(), '-')).endLine();
        out.ReportLine += 2;
        const std::size_t rows = std::max(left.lines.size(), right.lines.size());
        for (std::size_t r = 0; r < rows; ++r) {
            twoColumnRow(out, r < left.lines.size() ? &left.lines[r] : nullptr,
                         r < right.lines.size() ? &right.lines[r] : nullptr);
        }
        closingEmptyLine(out);
    }
    closingEmptyLine(out);
}

void PrintSection2Answers(ReportWriter& out, const ReportInputs& in) {
    std::vector<std::string> lines;
    for (int j = 1; j <= 12; ++j) {
        const int item = TestSpec::TrueFalseItemCount + j;
        const int answer = in.Scoring.ItemAnswers[static_cast<std::size_t>(item)];
        if (answer == 0) {
            lines.push_back(itemNumber(item) + ". No response given");
        } else if (answer >= 1 && answer <= 4) {
            lines.push_back(in.Tables.ChoiceText[static_cast<std::size_t>(4 * (j - 1) + answer)]);
        } else {
            // Five-choice entry can store an answer that has no text of its own.
            lines.push_back(itemNumber(item) + ". Answer " + std::to_string(answer) + " (no text)");
        }
    }

    out.paragraph({"SECTION 2. The juvenile's answers to  multiple choice items are printed",
                   "below. It should be noted  that these  answers represent the juvenile's",
                   "opinion--with  all of its biases.  These multiple choice answers  allow",
                   "comparison of the juvenile's  subjective  opinions with their objective",
                   "and empirically based scale scores."});

    for (std::size_t row = 0; row < 6; ++row) {
        twoColumnRow(out, &lines[row], &lines[row + 6]);
    }
    closingEmptyLine(out);
}

}  // namespace qlm

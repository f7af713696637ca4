#include <string_view>
#include <vector>

#include "report/Report.h"
#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/Scoring.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "storage/ClientRecord.h"
#include "storage/CodeTexts.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

struct ComposedText {
    std::string_view opening;
    std::string_view middle;
    std::string_view closing;
};

// Alcohol, by percentile band 70 to 89, 90 to 94, 95 and above.
constexpr ComposedText AlcoholTexts[3] = {
    {"This youth's Alcohol Scale score is in the problem risk (70 to 89th "
     "percentile) range. Problem risk scorers drink excessively. Check the ",
     " item answers to #53 and 102. This youth answered Quillmere items ",
     " in a deviant or problematic direction. Recommendations: mandatory attendance "
     "at substance abuse group counseling with age peers and/or Al-Ateen meetings. "
     "This Alcohol Scale score is problematic."},
    {"This youth's Alcohol Scale score is in the problem (90 to 100th percentile) "
     "range. Check ",
     " answers to items #53 and 102. Recommendation: chemical dependency treatment "
     "augmented (not replaced) with Al-Ateen or Alcoholics Anonymous (AA) meetings. "
     "If recovering, relapse risk is high. This juvenile answered items ",
     " deviantly or in a problematic direction. This youth has a serious alcohol "
     "problem."},
    {"This youth's Alcohol Scale score is in the severe problem (90 to 100th "
     "percentile) range. Serious alcohol problems exist. Check the youth's answers "
     "to the ",
     " items #53 and 102. This juvenile answered items ",
     " deviantly. Recommendations: intensive outpatient or inpatient chemical "
     "dependency treatment, augmented (not replaced) with AL-Ateen or AA meetings. "
     "Relapse risk is high. This youth has a serious alcohol problem."},
};
// Drugs, by percentile band 70 to 89, 90 to 94, 95 and above.
constexpr ComposedText DrugsTexts[3] = {
    {"This juvenile's Drugs Scale score is in the problem risk (70 to 89th "
     "percentile) range. Problem risk scorers use drugs. Check this juvenile's "
     "answers to the ",
     " items #72 and 102. This youth answered the following items ",
     " in a deviant or problematic direction. Recommendations: mandatory attendance "
     "at substance abuse group counseling with age peers, augmented (not replaced) "
     "with a juvenile version of Narcotics Anonymous - if available."},
    {"This juvenile's Drugs Scale score is in the severe problem (90 to 100th "
     "percentile) range. Check the ",
     " items #72 and 102. This youth answered the following items ",
     " in a deviant or problematic direction. Recommendations: Intensive outpatient "
     "(individual or group) or inpatient treatment should be considered. With "
     "regard to the Drugs Scale, this youth scored in the severe problem range."},
    {"This juvenile's Drugs Scale score is in the severe problem (90 to 100th "
     "percentile) range. Check this juvenile's ",
     " items (#72 and 102) answers. This youth answered the following items ",
     " in a deviant or problematic direction. Recommendations: mandatory intensive "
     "outpatient or inpatient treatment. Relapse risk is high. With regard to the "
     "drugs scale this youth scored in the severe problem range."},
};

constexpr std::string_view EndLine = "END";

// The lines of a text file beside the program, without their LF or CR LF ends.
std::vector<std::string> readLines(const ReportInputs& in, const std::string& path) {
    std::string content;
    try {
        content = in.Files.readFile(path);
    } catch (const FileError& e) {
        throw DataFileError(path, "cannot be read: " + e.description());
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// Copies the lines from `from` up to the "END" line after `indent` blanks, one counted line
// each; `afterLine` runs after every line. A file that ends first is an error: the report
// would be silently short.
template <typename AfterLine>
void copyToEnd(ReportWriter& out, const std::vector<std::string>& lines, std::size_t from,
               const std::string& path, const std::string& what, int indent, AfterLine afterLine) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i] == EndLine) {
            return;
        }
        out.line(indent, lines[i]);
        ++out.ReportLine;
        afterLine();
    }
    throw DataFileError(path, what + " ends before its END line");
}

void printComposed(ReportWriter& out, const ReportInputs& in, int scale,
                   const ComposedText (&texts)[3]) {
    const int percentile = in.Scoring.Percentile[static_cast<std::size_t>(scale)];
    const ComposedText& t = texts[percentile >= 95 ? 2 : percentile >= 90 ? 1 : 0];
    std::string paragraph(t.opening);
    paragraph += "\"recovering\"";
    paragraph += t.middle;
    paragraph += DeviantItemList(in, scale);
    paragraph += t.closing;
    PrintComposedParagraph(out, paragraph);
}

}  // namespace

void PrintScaleNarrative(ReportWriter& out, const ReportInputs& in, int scale) {
    const auto i = static_cast<std::size_t>(scale);
    const int percentile = in.Scoring.Percentile[i];
    const ScoringTables& tables = in.Tables;
    // The level heads the narrative; its name (the split names of levels 2 and 4) is the block.
    const RiskRange range = RiskLevel(percentile, tables);

    out.blanks(7).text(tables.ScaleName[i]).text(" SCALE: ");
    out.text(tables.RiskRangeName[static_cast<std::size_t>(range.level)]).text(" RISK RANGE");
    out.atColumn(61).text("RISK PERCENTILE:" + std::to_string(percentile)).endLine();
    ++out.ReportLine;

    if (range.level > 2 && scale == 2) {
        PrintAlcoholNarrative(out, in);
        return;
    }
    if (range.level > 2 && scale == 3) {
        PrintDrugsNarrative(out, in);
        return;
    }
    const std::string& path = tables.NarrativeFile[i];
    const std::vector<std::string> lines = readLines(in, path);
    std::size_t start = 0;
    while (start < lines.size() && lines[start] != range.name) {
        ++start;
    }
    if (start == lines.size()) {
        throw DataFileError(path, "has no block \"" + range.name + "\"");
    }
    copyToEnd(out, lines, start + 1, path, "block \"" + range.name + "\"", 8, [&out] {
        if (out.ReportLine > ReportWriter::LastLine - 1) {
            out.PrintPageHeader();
        }
    });
}

void PrintAlcoholNarrative(ReportWriter& out, const ReportInputs& in) {
    printComposed(out, in, 2, AlcoholTexts);
}

void PrintDrugsNarrative(ReportWriter& out, const ReportInputs& in) {
    printComposed(out, in, 3, DrugsTexts);
}

std::string DeviantItemList(const ReportInputs& in, int scale) {
    const ScoringState& s = in.Scoring;
    std::string list;
    const auto add = [&list](int item) {
        list = list.empty() ? std::string(" ") : Trim(list).append(", ");
        list.append(std::to_string(item));
    };
    const auto deviant = [&s](int item) {
        return s.ItemScore.at(static_cast<std::size_t>(item)) > 0;
    };
    constexpr int item102 = TestSpec::FirstSubstanceItem;
    constexpr int item103 = TestSpec::SecondSubstanceItem;
    const int answer102 = s.ItemAnswers[item102];
    if (scale == 2) {
        for (std::size_t k = 1; k <= 12; ++k) {
            if (deviant(in.Tables.AlcoholNarrativeItems[k])) {
                add(in.Tables.AlcoholNarrativeItems[k]);
            }
        }
        if (answer102 == 1 || answer102 == 3) {
            add(item102);
        }
        if (s.ItemAnswers[item103] == 1 || s.ItemAnswers[item103] == 3) {
            add(item103);
        }
    } else {
        for (std::size_t k = 1; k <= 15; ++k) {
            if (deviant(in.Tables.DrugNarrativeItems[k])) {
                add(in.Tables.DrugNarrativeItems[k]);
            }
        }
        if (answer102 == 2 || answer102 == 3) {
            add(item102);
        }
    }
    const std::size_t lastComma = list.rfind(',');
    if (lastComma != std::string::npos) {
        list.replace(lastComma, 1, " and");
    }
    return list;
}

std::string JustifyLine(std::string line) {
    constexpr std::size_t Width = 71;
    if (line.size() < 56 || line.size() >= Width) {
        return line;
    }
    // q and k are positions counted from 1; a blank in position 1 is never widened.
    std::size_t q = line.size();
    while (line.size() < Width) {
        std::size_t k = q;
        while (k >= 2 && line[k - 1] != ' ') {
            --k;
        }
        if (k < 2) {
            if (q == line.size()) {
                break;  // no gap at all: the line stays as it is
            }
            q = line.size();
            continue;
        }
        line.insert(k, 1, ' ');
        q = k - 1;
        if (q < 2) {
            q = line.size();
        }
    }
    return line;
}

void PrintComposedParagraph(ReportWriter& out, const std::string& paragraph) {
    constexpr std::size_t MaxLine = 71;
    std::string rest = paragraph;
    for (;;) {
        std::string line;
        if (rest.size() <= MaxLine) {
            line = std::move(rest);
            rest.clear();
        } else {
            const std::size_t blank = rest.rfind(' ', MaxLine - 1);
            // A word longer than a line is cut rather than run past the margin.
            const std::size_t cut = blank == std::string::npos ? MaxLine : blank;
            line = rest.substr(0, cut);
            rest.erase(0, blank == std::string::npos ? cut : cut + 1);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out.line(7, JustifyLine(std::move(line)));
        ++out.ReportLine;
        if (out.ReportLine >= ReportWriter::LastLine) {
            out.PrintPageHeader();
        }
        if (rest.empty()) {
            return;
        }
    }
}

void PrintNotScorable(ReportWriter& out) {
    out.endLine();
    out.line(8, "This  scale is  inaccurate and  not scorable  because  the  respondent");
    out.line(8, "omitted or skipped an excessive number of items.");
    out.endLine();
    out.ReportLine += 4;
}

void PrintInvalidText(ReportWriter& out, const ReportInputs& in) {
    const std::string path = in.programFile("INVAL.TXT");
    copyToEnd(out, readLines(in, path), 0, path, "the text", 7, [] {});
}

}  // namespace qlm

#include <algorithm>
#include <cmath>
#include <string_view>

#include "report/Report.h"
#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/NumericValue.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "storage/CodeTexts.h"

namespace qlm {

namespace {

// The chart's rows, 41 characters from column 38; the marks stand at percentiles 0, 40, 70, 90
// and 100.
constexpr std::string_view BandRow = "-   LOW RISK    -  MEDIUM   -PROBLEM-MAX-";
constexpr std::string_view OpenRow = "-               -           -       -   -";
constexpr std::string_view DottedRow = "-...............-...........-.......-...-";
constexpr std::string_view FrameRow = "+---------------+-----------+-------+---+";
constexpr int ChartColumn = 38;

// One asterisk per 2.5 percentiles, plus the one on the 0 mark, then the rest of the dotted row.
std::string bar(int percentile) {
    const auto filled = static_cast<std::size_t>(std::clamp(percentile * 10 / 25, 0, 40));
    return std::string(filled + 1, '*') + std::string(DottedRow.substr(filled + 1));
}

}  // namespace

void PrintSummaryHeader(ReportWriter& out, const ReportInputs& in) {
    const auto& info = in.Scoring.ClientInfo;
    if (in.Scoring.Percentile[1] >= InvalidTestPercentile) {
        out.endLine();
    }
    out.endLine();
    out.atColumn(32).text("Quillmere").endLine();
    out.atColumn(32).text("***********************").endLine();
    out.ReportLine += 3;
    out.endLine();
    out.ReportLine += 1;
    out.line(7, "NAME          : " + info[1]);
    out.blanks(7).text("AGE: ").text(info[2]);
    out.atColumn(19).text("SEX: ").text(CodeText(in.Codes.GenderText, NumericValue(info[3])));
    out.atColumn(60).text("CONFIDENTIAL REPORT").endLine();
    out.line(7, "DATE OF BIRTH : " + info[7]);
    out.line(7, "ETHNICITY     : " + CodeText(in.Codes.RaceText, NumericValue(info[4])));
    out.line(7, "EDUCATION     : " + info[6]);
    out.line(7, "DATE SCORED   : " + info[10]);
    out.endLine();
    out.ReportLine += 9;
}

void PrintProfile(ReportWriter& out, const ReportInputs& in, int first, int last) {
    const ScoringState& s = in.Scoring;
    const bool inaccurate = s.Percentile[1] >= InaccuratePercentile;
    out.blanks(7).text("MEASURES").blanks(12).text("%ile").blanks(6);
    out.text("        QUILLMERE PROFILE").endLine();
    out.blanks(7).text("--------").blanks(12).text("----").blanks(6).text(FrameRow).endLine();
    out.line(ChartColumn - 1, BandRow);
    out.line(ChartColumn - 1, OpenRow);

    bool notScored = false;
    for (int i = first; i <= last; ++i) {
        const auto scale = static_cast<std::size_t>(i);
        const int percentile = s.Percentile[scale];
        // The number item's last digit stands in column 30 either way.
        out.blanks(7).text(in.Tables.ScaleName[scale]).atColumn(percentile >= 10 ? 28 : 29);
        if (s.OmittedCount[scale] > MaxOmittedForScoring) {
            out.text(" **").atColumn(ChartColumn).text("Scale not scored, insufficient answers");
            notScored = true;
        } else {
            out.number(percentile);
            if (inaccurate) {
                out.text("*");
            }
            out.atColumn(ChartColumn).text(bar(percentile));
        }
        out.endLine();
        out.line(ChartColumn - 1, i < last ? OpenRow : FrameRow);
    }

    if (inaccurate) {
        out.blanks(7).text("* These test results");
    } else if (notScored) {
        out.blanks(7).text("** Too many omitted items");
    }
    out.atColumn(ChartColumn).text("0").blanks(15).text("40").blanks(10).text("70").blanks(6);
    out.text("90 100").endLine();
    if (inaccurate) {
        out.blanks(7).text("  are inaccurate");
    } else if (notScored) {
        out.blanks(7).text("   to score this scale");
    }
    out.atColumn(ChartColumn).text("----------- PERCENTILE SCORES -----------").endLine();
    out.endLine();
    out.endLine();
    out.ReportLine += 2 * (last - first) + 9;
}

int PredictionScore(const ScoringState& s) {
    const auto value = [](const std::string& text) { return NumericValue(text); };
    const double age = value(s.ClientInfo[2]);
    const double sex = value(s.ClientInfo[3]);
    const double race = value(s.ClientInfo[4]);
    const auto& r = s.RawScore;
    const auto c = [&](std::size_t k) { return value(s.CourtCounts[k]); };
    // The terms are added in this order; a different order could move a sum across a whole
    // number.
    double sum = 0.188572 * age + 0.05962 * r[2];
    sum += 0.3715 * r[5] - 0.172497 * r[3];
    sum += -1.19519 * race;
    sum += 1.97747 * sex + 0.159445 * r[1];
    sum += -0.002589 * c(1) - 0.448163 * c(3);
    sum += 1.929796 * c(4) + 3.742527 * c(5);
    sum += 0.044587 * c(7) - 0.084557 * c(6);
    sum += -0.317767 * c(9) - 0.144358 * c(8);
    sum += 1.577216 * c(10) + 0.100396 * r[5];
    sum += std::nearbyint(c(2) - 0.180257);  // halves to the even neighbour
    return static_cast<int>(std::clamp(std::floor(sum), -32768.0, 32767.0));
}

std::string PredictionOutcome(int score) {
    if (score >= 0 && score <= 6) {
        return "Low";
    }
    if (score >= 7 && score <= 20) {
        return "Average";
    }
    if (score >= 21 && score <= 999) {
        return "High";
    }
    return "";
}

void PrintPrediction(ReportWriter& out, const ReportInputs& in) {
    const std::string outcome =
        "*** Prediction Outcome: " + PredictionOutcome(PredictionScore(in.Scoring)) + " ***";
    out.endLine();
    out.atColumn(42 - static_cast<int>(outcome.size()) / 2).text(outcome).endLine();
    out.endLine();
    out.ReportLine += 3;
}

void PrintInterpretationNote(ReportWriter& out) {
    out.line(7, "There  are several levels of Quillmere  (QLM) interpreta-");
    out.line(7, "tion ranging from viewing the QLM as a self -  report  to  interpreting");
    out.line(7, "scale  elevation and  scale inter - relationships. Scale Interpretation");
    out.line(7, out.publisher().InterpretationLine);
    out.ReportLine += 4;
}

void PrintComments(ReportWriter& out) {
    out.line(7, "COMMENTS OR RECOMMENDATIONS: __________________________________________");
    out.ReportLine += 1;
    for (int i = 0; i < 2; ++i) {
        out.endLine();
        out.line(7, std::string(71, '_'));
        out.ReportLine += 2;
    }
    out.endLine();
    out.line(7, "_____________________________                            ______________");
    out.line(7, "   STAFF MEMBER SIGNATURE                                     DATE");
    out.ReportLine += 3;
    if (out.ReportLine < ReportWriter::LastLine) {
        out.endLine();
        out.ReportLine += 1;
    }
}

}  // namespace qlm

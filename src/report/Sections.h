#pragma once

#include <string>

namespace qlm {

class ReportWriter;
struct ScoringState;
struct ReportInputs;

// A Truthfulness percentile from which the test is invalid (no narratives) and from which the
// other scores are marked inaccurate; more omitted items than this leave a scale unscored.
constexpr int InvalidTestPercentile = 95;
constexpr int InaccuratePercentile = 90;
constexpr int MaxOmittedForScoring = 4;

// The sections of the report. Each writes its lines through `out` and adds to
// out.ReportLine the number its layout counts, which is not always the number of lines written.

// Page 1 and the closing block.
void PrintSummaryHeader(ReportWriter& out, const ReportInputs& in);
void PrintProfile(ReportWriter& out, const ReportInputs& in, int first, int last);
void PrintPrediction(ReportWriter& out, const ReportInputs& in);
void PrintInterpretationNote(ReportWriter& out);
void PrintComments(ReportWriter& out);

// The linear prediction score of the current client and its outcome word ("" outside the
// bands).
int PredictionScore(const ScoringState& state);
std::string PredictionOutcome(int score);

// Narratives and the fixed paragraphs.
void PrintScaleNarrative(ReportWriter& out, const ReportInputs& in, int scale);
void PrintAlcoholNarrative(ReportWriter& out, const ReportInputs& in);
void PrintDrugsNarrative(ReportWriter& out, const ReportInputs& in);
void PrintNotScorable(ReportWriter& out);
void PrintInvalidText(ReportWriter& out, const ReportInputs& in);

// The client's deviant items named in a composed paragraph (scale 2 or 3): " 53",
// "53 and 60", "53, 60 and 102", or "".
std::string DeviantItemList(const ReportInputs& in, int scale);
// A composed line of 56 to 70 characters widened to 71 by doubling blanks from the right.
std::string JustifyLine(std::string line);
// Wraps and justifies a composed paragraph, starting a new page where it fills one.
void PrintComposedParagraph(ReportWriter& out, const std::string& paragraph);

// Item listings. PrintSupplemental puts a blank in front of the court counts shorter than two
// characters in the scoring state itself, so the padded texts stay in the shared state.
void PrintSupplemental(ReportWriter& out, const ReportInputs& in);
void PrintResponses(ReportWriter& out, const ReportInputs& in, int testNumber);
void PrintSignificantItems(ReportWriter& out, const ReportInputs& in);
void PrintSection2Answers(ReportWriter& out, const ReportInputs& in);

}  // namespace qlm

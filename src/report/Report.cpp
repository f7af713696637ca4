#include "report/Report.h"

#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

void printPageOne(ReportWriter& out, const ReportInputs& in) {
    PrintSummaryHeader(out, in);
    out.paragraph({"Quillmere (QLM) results are  confidential and should be",
                   "considered  working  hypotheses. No diagnosis  or  decision  should  be",
                   "based  solely  upon these results. The Quillmere is to be",
                   "used  in  conjunction with experienced  staff  judgment  and  review of",
                   "available records."});
    out.endLine();  // not counted, as the one after the court information
    PrintProfile(out, in, 1, 5);
    PrintPrediction(out, in);
    PrintSupplemental(out, in);
    out.endLine();
    PrintInterpretationNote(out);
    out.PrintNoticeFooter();
    out.PrintPageHeader();
}

void printInvalidTest(ReportWriter& out, const ReportInputs& in) {
    PrintInvalidText(out, in);
    out.atColumn(8).text(out.publisher().InfoLine).endLine();
    // The signature block is not counted: the counter is set for the grid below.
    out.endLine();
    out.atColumn(8).text("____________________________       _____________").endLine();
    out.atColumn(8).text("STAFF MEMBER SIGNATURE             DATE").endLine();
    out.endLine();
    out.ReportLine = 48;
    // The client's own test number, so that the page cannot be taken for another client's.
    PrintResponses(out, in, in.Scoring.CurrentTestNumber);
    out.PrintPublisherFooter();
}

void printFullReport(ReportWriter& out, const ReportInputs& in) {
    out.line(6, " * * SUMMARY PARAGRAPHS EXPLAINING JUVENILE'S ATTAINED SCALE SCORES * *");
    out.line(6, "     --------------------------------------------------------------");
    out.endLine();
    out.ReportLine += 3;
    for (int i = 1; i <= 5; ++i) {
        const auto scale = static_cast<std::size_t>(i);
        if (in.Scoring.OmittedCount[scale] > MaxOmittedForScoring) {
            out.line(7, in.Tables.ScaleName[scale]);
            ++out.ReportLine;
            PrintNotScorable(out);
            continue;
        }
        PrintScaleNarrative(out, in, i);
        if (out.ReportLine > 2 && out.ReportLine < ReportWriter::LastLine) {
            out.endLine();
            ++out.ReportLine;
        }
    }
    if (out.ReportLine + 5 > ReportWriter::LastLine) {
        out.PrintPageHeader();
    }
    PrintResponses(out, in, in.Scoring.CurrentTestNumber);
    out.PrintPublisherFooter();
    out.PrintPageHeader();
    PrintSignificantItems(out, in);
    if (out.ReportLine + 16 > ReportWriter::LastLine) {
        out.PrintPageHeader();
    }
    PrintSection2Answers(out, in);
    PrintComments(out);
    out.PrintNoticeFooter();
}

}  // namespace

std::string ComposeReport(const ReportInputs& in) {
    ReportWriter out(in.Scoring.ClientInfo[1],
                     LoadPublisherTexts(in.Files, in.DataFolder, in.Publisher), in.Publisher);
    printPageOne(out, in);
    if (IsFullReport(in.Scoring)) {
        printFullReport(out, in);
    } else {
        printInvalidTest(out, in);
    }
    return out.bytes();
}

bool IsFullReport(const ScoringState& s) {
    return s.Percentile[1] < InvalidTestPercentile;
}

void WriteReportFile(const ReportInputs& in, const std::string& path) {
    // Composed whole first, then put in place at once: a report that cannot be completed
    // leaves the earlier one whole, never a torn or empty file.
    in.Files.replaceFile(path, ComposeReport(in));
}

}  // namespace qlm

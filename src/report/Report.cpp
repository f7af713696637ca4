#include "report/Report.h"

#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/Scoring.h"
#include "session/Session.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

bool isInvalidTest(const Session& session) {
    return session.Scoring.Percentile[1] >= InvalidTestPercentile;
}

void printPageOne(ReportWriter& out, Session& session) {
    PrintSummaryHeader(out, session);
    out.paragraph({"Quillmere (QLM) results are  confidential and should be",
                   "considered  working  hypotheses. No diagnosis  or  decision  should  be",
                   "based  solely  upon these results. The Quillmere is to be",
                   "used  in  conjunction with experienced  staff  judgment  and  review of",
                   "available records."});
    out.endLine();  // not counted, as the one after the court information
    PrintProfile(out, session, 1, 5);
    PrintPrediction(out, session);
    PrintSupplemental(out, session);
    out.endLine();
    PrintInterpretationNote(out);
    out.PrintNoticeFooter();
    out.PrintPageHeader();
}

void printInvalidTest(ReportWriter& out, Session& session) {
    PrintInvalidText(out, session);
    out.atColumn(8).text(out.publisher().InfoLine).endLine();
    // The signature block is not counted: the counter is set for the grid below.
    out.endLine();
    out.atColumn(8).text("____________________________       _____________").endLine();
    out.atColumn(8).text("STAFF MEMBER SIGNATURE             DATE").endLine();
    out.endLine();
    out.ReportLine = 48;
    // The client's own test number, so that the page cannot be taken for another client's.
    PrintResponses(out, session, session.Scoring.CurrentTestNumber);
    out.PrintPublisherFooter();
}

void printFullReport(ReportWriter& out, Session& session) {
    out.line(6, " * * SUMMARY PARAGRAPHS EXPLAINING JUVENILE'S ATTAINED SCALE SCORES * *");
    out.line(6, "     --------------------------------------------------------------");
    out.endLine();
    out.ReportLine += 3;
    for (int i = 1; i <= 5; ++i) {
        const auto scale = static_cast<std::size_t>(i);
        if (session.Scoring.OmittedCount[scale] > MaxOmittedForScoring) {
            out.line(7, session.Tables.ScaleName[scale]);
            ++out.ReportLine;
            PrintNotScorable(out);
            continue;
        }
        PrintScaleNarrative(out, session, i);
        if (out.ReportLine > 2 && out.ReportLine < ReportWriter::LastLine) {
            out.endLine();
            ++out.ReportLine;
        }
    }
    if (out.ReportLine + 5 > ReportWriter::LastLine) {
        out.PrintPageHeader();
    }
    PrintResponses(out, session, session.Scoring.CurrentTestNumber);
    out.PrintPublisherFooter();
    out.PrintPageHeader();
    PrintSignificantItems(out, session);
    if (out.ReportLine + 16 > ReportWriter::LastLine) {
        out.PrintPageHeader();
    }
    PrintSection2Answers(out, session);
    PrintComments(out);
    out.PrintNoticeFooter();
}

}  // namespace

std::string ComposeReport(Session& session) {
    ReportWriter out(session.Scoring.ClientInfo[1],
                     LoadPublisherTexts(session.Files, session.ProgramFolder, session.Publisher),
                     session.Publisher);
    printPageOne(out, session);
    if (isInvalidTest(session)) {
        printInvalidTest(out, session);
    } else {
        printFullReport(out, session);
    }
    return out.bytes();
}

void WriteReport(Session& session, const std::string& path) {
    const bool full = !isInvalidTest(session);
    // Emptied before anything is composed, so that a report that cannot be completed never
    // leaves an earlier client's report in its place.
    File file = session.Files.open(path.empty() ? session.programFile(ReportFileName) : path,
                                   FileSystem::Mode::WriteTruncate);
    file.write(ComposeReport(session));
    file.sync();
    file.close();
    if (full) {
        session.Tables = {};
    }
}

void MakeReport(Session& session, const std::string& path) {
    ScoreCurrentClient(session);
    WriteReport(session, path);
}

}  // namespace qlm

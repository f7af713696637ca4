// The narrative files and INVAL.TXT are text files an installation may replace: any bytes must
// give the block of the client's risk range, or be refused with DataFileError naming the file.
// The first input byte chooses the file (a scale's narrative, or INVAL.TXT), the second the
// client's percentile; the rest is the file.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "report/Report.h"
#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/Scoring.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "storage/FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const qlm::FileSystem files;
    static qlm::Session session = [] {
        qlm::Session s(files, qlm::fuzz::ProgramFolder());
        qlm::SetTestSpec(s.Constants);
        qlm::LoadScoringTables(s);
        return s;
    }();
    if (size < 2) {
        return 0;
    }
    const int choice = data[0] % 6;  // 0: INVAL.TXT, 1 to 5: the scales' narratives
    const int percentile = data[1] % 100;
    const std::string path = choice == 0 ? session.programFile("INVAL.TXT")
                                         : session.Tables.NarrativeFile[std::size_t(choice)];
    qlm::fuzz::writeFile(path, qlm::fuzz::text(data + 2, size - 2));
    session.Scoring.Percentile[std::size_t(choice == 0 ? 1 : choice)] = percentile;
    qlm::ReportWriter out("FUZZ, FELIX", session.PublisherTexts, session.Publisher);
    try {
        if (choice == 0) {
            qlm::PrintInvalidText(out, qlm::ReportInputsOf(session));
        } else {
            qlm::PrintScaleNarrative(out, qlm::ReportInputsOf(session), choice);
        }
    } catch (const qlm::DataFileError& e) {
        qlm::fuzz::check(e.file() == path);
    }
    return 0;
}

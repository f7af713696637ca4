// A client file may be damaged or come from anywhere: any bytes must read as records that write
// back as they were read, be marked damaged where no screen could have written them, and score
// within bounds where they are sound; a file of too many records is refused.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "scoring/Scoring.h"
#include "scoring/UnpackClient.h"
#include "session/ClientList.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/Backup.h"
#include "storage/ClientFile.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "storage/Latin1.h"

using qlm::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const qlm::FileSystem files;
    static qlm::Session session = [] {
        qlm::Session s(files, QLM_DATA_DIR);
        qlm::SetTestSpec(s.Constants);
        qlm::LoadScoringTables(s);
        return s;
    }();
    const std::string_view bytes = qlm::fuzz::text(data, size);
    const std::size_t size185 = qlm::ClientRecord::Size;
    check(qlm::WholeClientFileProblem(bytes).empty() ==
          (size % size185 == 0 && size / size185 <= qlm::MaxClients));
    qlm::ClientFileContents contents;
    try {
        contents = qlm::ParseClientFile(bytes, "DATA401.QLM");
    } catch (const qlm::FileError&) {
        check(qlm::RecordCountForLength(static_cast<std::int64_t>(size)) > qlm::MaxClients);
        return 0;
    }
    bool scored = false;
    for (int r = 1; r <= contents.count; ++r) {
        const auto n = static_cast<std::size_t>(r);
        const std::string back = contents.table[n].toBytes();
        check(back.size() == size185);
        const std::string_view stored = bytes.substr((n - 1) * size185, size185);
        check(back.substr(0, stored.size()) == stored);
        check(contents.damage[n].empty() == qlm::RecordDamage(stored).empty());
        (void)qlm::Latin1ToUtf8(
            qlm::MarkedClientListItem(r, contents.table[n], contents.damage[n]));
        // Scoring costs more than reading: the first sound record stands for the rest.
        if (!contents.damage[n].empty() || scored) {
            continue;
        }
        scored = true;
        qlm::UnpackClient(contents.table[n], r, session.Scoring);
        qlm::ScoreScales(session.Scoring, session.Tables, session.Constants);
        qlm::ConvertToPercentiles(session.Scoring, session.Tables);
        for (int sc = 1; sc <= qlm::TestSpec::ScaleCount; ++sc) {
            const int p = session.Scoring.Percentile[static_cast<std::size_t>(sc)];
            check(p >= 0 && p <= 99);
        }
    }
    return 0;
}

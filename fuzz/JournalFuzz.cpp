// The on-screen test's journal lies in the data location, where a crash or another program may
// leave anything: any bytes must either be refused with a reason or give a test that writes
// back as it was read. The input is tried as it is and with its check line added, so that the
// lines behind the check are explored too.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "testing/TestJournal.h"

using qlm::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(qlm::fuzz::text(data, size));
    for (const std::string& input : {body, body + qlm::JournalChecksum(body) + "\n"}) {
        std::string problem;
        const auto journal = qlm::ParseJournal(input, problem);
        if (!journal) {
            check(!problem.empty());
            continue;
        }
        const std::string again = qlm::FormatJournal(*journal);
        std::string none;
        const auto back = qlm::ParseJournal(again, none);
        check(back && qlm::FormatJournal(*back) == again);
        check(back->record == journal->record && back->reached == journal->reached &&
              back->responses == journal->responses);
    }
    return 0;
}

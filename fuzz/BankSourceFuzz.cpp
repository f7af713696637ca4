// The item sources are edited by hand before the bank is built: any bytes must give 109 whole
// items of 13 columns or be refused with a message.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "FuzzSupport.h"
#include "testing/BankSource.h"

using qlm::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto items = qlm::ParseBankSource(qlm::fuzz::text(data, size), "English.tsv");
        check(items.size() == 109);
        for (std::size_t i = 0; i < items.size(); ++i) {
            check(items[i].size() == 13 && items[i][0] == std::to_string(i + 1));
        }
    } catch (const std::runtime_error&) {
    }
    return 0;
}

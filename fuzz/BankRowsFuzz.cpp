// The rows read back from a question bank that was replaced or damaged: any values must either
// be refused when the table is opened or give 109 items the screens can show. Input: one row a
// line, columns split by tabs, "\N" for NULL, lines starting "#" skipped (the item sources'
// layout, so that they seed the corpus).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "storage/DataFileError.h"
#include "testing/BankItem.h"
#include "testing/QuestionBank.h"

using qlm::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<qlm::QuestionBankRecordset::Row> rows;
    for (const std::string_view line : qlm::fuzz::split(qlm::fuzz::text(data, size), '\n')) {
        if (line.starts_with('#') || line.empty()) {
            continue;
        }
        auto& row = rows.emplace_back();
        for (const std::string_view value : qlm::fuzz::split(line, '\t')) {
            row.push_back(value == "\\N" ? std::nullopt : std::optional(std::string(value)));
        }
        row.resize(qlm::QuestionBankColumns.size());
    }
    const std::vector<std::string> columns(qlm::QuestionBankColumns.begin(),
                                           qlm::QuestionBankColumns.end());
    try {
        qlm::QuestionBankRecordset records =
            qlm::LanguageTableRecords("QLMtest.db", "English", columns, std::move(rows));
        for (int item = 1; !records.eof(); ++item, records.next()) {
            const qlm::BankItem read = qlm::ReadBankItem(records);
            check(read.ID == item && read.offered(1) && read.offered(2));
            (void)qlm::QuestionText(read);
        }
    } catch (const qlm::DataFileError&) {
    }
    return 0;
}

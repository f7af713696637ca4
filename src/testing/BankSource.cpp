#include "testing/BankSource.h"

#include <algorithm>
#include <stdexcept>

#include "scoring/TestSpec.h"
#include "storage/ClientRecord.h"
#include "testing/QuestionBank.h"

namespace qlm {

namespace {

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool validUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : lead >> 5 == 0x6  ? 2
                                   : lead >> 4 == 0xE  ? 3
                                   : lead >> 3 == 0x1E ? 4
                                                       : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace

std::vector<BankSourceRow> ParseBankSource(std::string_view text, const std::string& name) {
    std::vector<BankSourceRow> items;
    std::size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        start = end + 1;
        const std::string where = name + ":" + std::to_string(lineNumber) + ": ";
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with('#')) {
            if (items.empty()) {
                continue;
            }
            fail(where + "a comment line among the items (comments belong before item 1)");
        }
        if (!validUtf8(line)) {
            fail(where + "not UTF-8 text");
        }
        const auto fields = splitTabs(line);
        if (fields.size() != QuestionBankColumns.size()) {
            fail(where + "has " + std::to_string(fields.size()) + " columns instead of " +
                 std::to_string(QuestionBankColumns.size()));
        }
        const std::string expected = std::to_string(items.size() + 1);
        if (fields[0] != expected) {
            fail(where + "holds item \"" + fields[0] + "\" where item " + expected + " belongs");
        }
        BankSourceRow& row = items.emplace_back();
        for (const auto& field : fields) {
            row.push_back(field == "\\N" ? std::nullopt : std::optional(field));
        }
        const auto required = [&](std::size_t column) {
            if (!row[column] || Trim(*row[column]).empty()) {
                fail(where + QuestionBankColumns[column] + " is empty");
            }
        };
        for (std::size_t column : {1, 2, 3, 4, 8, 9}) {
            required(column);
        }
        for (std::size_t k = 3; k <= 5; ++k) {
            if (row[2 + k] && !row[2 + k]->empty()) {
                required(7 + k);
            }
        }
    }
    if (items.size() != static_cast<std::size_t>(TestSpec::ItemCount)) {
        fail(name + ": holds " + std::to_string(items.size()) + " items instead of " +
             std::to_string(TestSpec::ItemCount));
    }
    return items;
}

}  // namespace qlm

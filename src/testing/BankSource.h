#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlm {

// One item of a language's source file (data/items/*.tsv): the bank's 13 columns, nullopt for
// a NULL ("\N").
using BankSourceRow = std::vector<std::optional<std::string>>;

// The items of a source file `name` holding `text`, checked so that the bank the program reads
// is whole: comment lines only before the first item, UTF-8, 13 tab-separated columns, items 1
// to 109 in order, and the texts and sound names the screens need. Anything else throws
// std::runtime_error naming the file, the line and the fault.
std::vector<BankSourceRow> ParseBankSource(std::string_view text, const std::string& name);

}  // namespace qlm

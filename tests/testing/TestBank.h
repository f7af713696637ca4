#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qlm::test {

// One row of a language table as a test lays it out; nullopt is NULL.
struct BankRow {
    std::optional<std::string> ID, TestQuestion, QuestionAudio;
    std::array<std::optional<std::string>, 5> Answer, ChoiceAudio;
};

// Items 1 to `count`: True/False up to 97, four choices after it.
std::vector<BankRow> StandardRows(int count = 109);

using BankTable = std::pair<std::string, std::vector<BankRow>>;

// Writes a bank of the given tables, in the given order, rows in the given order.
void WriteBank(const std::string& path, const std::vector<BankTable>& tables);

// A wave file of PCM samples: `coding` 1 integer, 3 float; `bits` per sample.
std::string Wave(int coding = 1, int bits = 16);

}  // namespace qlm::test

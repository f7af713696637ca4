#include "storage/CodeTexts.h"

#include <initializer_list>

#include "storage/ClientRecord.h"

namespace qlm {

namespace {

template <std::size_t N>
void fill(std::array<std::string, N>& table, std::size_t width,
          std::initializer_list<const char*> words) {
    std::size_t i = 0;
    for (const char* word : words) {
        table[i++] = FixedWidth(word, width);
    }
}

}  // namespace

void FillCodeTexts(CodeTexts& codes) {
    fill(codes.GenderText, 6, {"N/A", "Male", "Female"});
    fill(codes.RaceText, 15,
         {"N/A", "Caucasian", "Black", "Hispanic", "Asian", "Native American", "Other"});
    fill(codes.MaritalText, 9, {"N/A", "Single", "Married", "Divorced", "Separated", "Widowed"});
    fill(codes.YesNoText, 3, {"N/A", "Yes", "No"});
}

}  // namespace qlm

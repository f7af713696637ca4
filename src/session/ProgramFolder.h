#pragma once

#include <string>

namespace qlm {

// The question bank, beside the program.
inline constexpr const char* QuestionBankFileName = "QLMtest.db";

// The folder the program's files lie in: `home` when given (--home DIR), else the
// QUILLMERE_HOME environment variable when set, else the executable's own folder.
std::string ResolveProgramFolder(const std::string& home = {});

}  // namespace qlm

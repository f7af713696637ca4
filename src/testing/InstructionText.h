#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qlm {

// The instruction texts of the on-screen test: 0 general, 1 section 1, 2 section 2, 3 empty.
using InstructionTexts = std::array<std::string, 4>;

// The Spanish texts when `language` upper-cased is "SPANISH", the English texts for any other
// language. Lines end in CR LF; the texts are UTF-8.
InstructionTexts SetInstructionText(std::string_view language);

// True when `language` names the Spanish presentation (case-insensitive).
bool IsSpanish(std::string_view language);

}  // namespace qlm

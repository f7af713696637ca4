#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qlm {

// Reading and writing of the sectioned profile format ("[Section]" lines followed by
// "Key=Value" lines). Section and key names match without regard to letter case.

// The value of `key` in `section`, blanks at both ends removed; nullopt when the section or the
// key is missing (an empty value is an empty text, not a missing key).
std::optional<std::string> ReadProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

// `content` with `key` in `section` set to `value`: an existing line is replaced, a missing key
// is added at the end of its section, a missing section at the end of the file. Every other
// line stays exactly as it was.
std::string WriteProfileValue(std::string_view content, std::string_view section,
                              std::string_view key, std::string_view value);

}  // namespace qlm

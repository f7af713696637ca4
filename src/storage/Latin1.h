#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qlm {

// Client data and the program's text files are single-byte Latin-1; the outside world
// (terminal, screens) speaks UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);
// nullopt when the text holds a character that has no single-byte form.
std::optional<std::string> Utf8ToLatin1(std::string_view utf8);

}  // namespace qlm

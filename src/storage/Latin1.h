#pragma once

#include <string>
#include <string_view>

namespace qlm {

// Client data and the program's text files are single-byte Latin-1; the terminal speaks UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace qlm

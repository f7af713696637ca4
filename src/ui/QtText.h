#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace qlm {

// Screens show and take QString; client data and the program's files are Latin-1.
QString FromLatin1(std::string_view text);
// nullopt when `text` has a character without a single-byte form.
std::optional<std::string> ToLatin1(const QString& text);

}  // namespace qlm

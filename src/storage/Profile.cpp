#include "storage/Profile.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace qlm {

namespace {

struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t nl = content.find('\n', pos);
        if (nl == std::string_view::npos) {
            lines.push_back({content.substr(pos), {}});
            break;
        }
        std::size_t textEnd = nl;
        if (textEnd > pos && content[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back(
            {content.substr(pos, textEnd - pos), content.substr(textEnd, nl + 1 - textEnd)});
        pos = nl + 1;
    }
    return lines;
}

std::string_view trim(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The section a "[name]" line opens, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() >= 2 && line.front() == '[') {
        const auto close = line.find(']');
        if (close != std::string_view::npos) {
            return trim(line.substr(1, close - 1));
        }
    }
    return std::nullopt;
}

std::optional<std::pair<std::string_view, std::string_view>> keyValue(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || trim(line).starts_with(';')) {
        return std::nullopt;
    }
    return std::pair{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

}  // namespace

std::optional<std::string> ReadProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
    bool inSection = false;
    for (const Line& line : splitLines(content)) {
        if (const auto name = sectionName(line.text)) {
            inSection = sameName(*name, section);
        } else if (inSection) {
            if (const auto kv = keyValue(line.text); kv && sameName(kv->first, key)) {
                std::string_view value = kv->second;
                if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                    value = value.substr(1, value.size() - 2);
                }
                return std::string(value);
            }
        }
    }
    return std::nullopt;
}

std::string WriteProfileValue(std::string_view content, std::string_view section,
                              std::string_view key, std::string_view value) {
    const std::vector<Line> lines = splitLines(content);
    const std::string_view newline =
        content.find("\r\n") != std::string_view::npos ? std::string_view("\r\n") : "\n";
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::optional<std::size_t> sectionLine;  // index of the "[section]" line
    std::optional<std::size_t> keyLine;      // index of the key's line
    std::size_t lastEntryInSection = 0;      // last non-empty line of the section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (sectionLine && !keyLine) {
                break;  // past the end of the wanted section
            }
            if (!sectionLine && sameName(*name, section)) {
                sectionLine = i;
                lastEntryInSection = i;
            }
        } else if (sectionLine && !keyLine) {
            if (!trim(lines[i].text).empty()) {
                lastEntryInSection = i;
            }
            if (const auto kv = keyValue(lines[i].text); kv && sameName(kv->first, key)) {
                keyLine = i;
            }
        }
    }

    std::vector<std::string> out;
    out.reserve(lines.size() + 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.push_back(
            std::string(keyLine && i == *keyLine ? std::string_view(entry) : lines[i].text) +
            std::string(lines[i].end));
    }
    if (!keyLine) {
        const std::size_t at = sectionLine ? lastEntryInSection + 1 : out.size();
        if (at > 0 && !out[at - 1].ends_with('\n')) {
            out[at - 1] += newline;
        }
        std::string added =
            sectionLine ? "" : "[" + std::string(section) + "]" + std::string(newline);
        added += entry + std::string(newline);
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
    }
    std::string joined;
    for (const auto& line : out) {
        joined += line;
    }
    return joined;
}

}  // namespace qlm

// What the harnesses share: a check that stops the run, inputs split into parts, and a program
// folder of their own on a memory file system for the parsers that read files beside the
// program.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace qlm::fuzz {

inline void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The parts of `input` between `separator`s, at most `most` (the last takes the rest).
inline std::vector<std::string_view> split(std::string_view input, char separator,
                                           std::size_t most = std::string_view::npos) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (parts.size() + 1 < most) {
        const std::size_t end = input.find(separator, start);
        if (end == std::string_view::npos) {
            break;
        }
        parts.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    parts.push_back(input.substr(std::min(start, input.size())));
    return parts;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A copy of the shipped program files in a folder of the run's own, under /dev/shm where
// there is one (so that a file written for each input costs no disk), removed at the end.
inline const std::string& ProgramFolder() {
    static const std::string folder = [] {
        namespace fs = std::filesystem;
        std::string pattern = (fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
        pattern += "/qlm-fuzz-XXXXXX";
        check(::mkdtemp(pattern.data()) != nullptr);
        for (const auto& entry : fs::directory_iterator(QLM_DATA_DIR)) {
            if (entry.is_regular_file() && entry.path().extension() == ".TXT") {
                fs::copy_file(entry.path(), fs::path(pattern) / entry.path().filename());
            }
        }
        static const std::string removed = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removed, ignored);
        });
        return pattern;
    }();
    return folder;
}

}  // namespace qlm::fuzz

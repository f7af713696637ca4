#include "session/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>

namespace qlm {

std::string ResolveProgramFolder(const std::string& home) {
    if (!home.empty()) {
        return home;
    }
    if (const char* env = std::getenv("QUILLMERE_HOME"); env != nullptr && *env != '\0') {
        return env;
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path().string() : exe.parent_path().string();
}

}  // namespace qlm

#include "session/ProgramFolder.h"

#include <unistd.h>

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

namespace {

// $variable, or `fallback` below the home folder when it is unset or not absolute (as the
// XDG base directory rules have it), with "quillmere" below it, made owner-only.
std::string userFolder(const char* variable, const char* fallback) {
    namespace fs = std::filesystem;
    fs::path base;
    if (const char* set = std::getenv(variable); set != nullptr && *set == '/') {
        base = set;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr && *home != '\0' ? home : "/tmp") / fallback;
    }
    const fs::path folder = base / "quillmere";
    std::error_code ec;
    if (fs::create_directories(folder, ec)) {
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    return folder.string();
}

}  // namespace

UserFolders ResolveUserFolders(const std::string& programFolder, bool programFolderWritable) {
    if (programFolderWritable) {
        return {programFolder, programFolder};
    }
    return {userFolder("XDG_CONFIG_HOME", ".config"), userFolder("XDG_DATA_HOME", ".local/share")};
}

bool FolderIsWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace qlm

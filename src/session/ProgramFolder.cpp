#include "session/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace qlm {

namespace fs = std::filesystem;

namespace {

constexpr const char* GuideFileName = "user-guide.html";

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// `set` when it is absolute, else `fallback` below the home folder (as the XDG base directory
// rules have it), with "quillmere" below it.
std::string userFolderPath(const std::string& set, const std::string& home, const char* fallback) {
    const fs::path base = set.starts_with('/') ? fs::path(set) : fs::path(home) / fallback;
    return (base / "quillmere").string();
}

// The same, made owner-only.
std::string userFolder(const std::string& set, const std::string& home, const char* fallback) {
    const fs::path folder = userFolderPath(set, home, fallback);
    std::error_code ec;
    if (fs::create_directories(folder, ec)) {
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    return folder.string();
}

// The folders of $XDG_CONFIG_DIRS, most important first; relative entries do not count.
std::vector<std::string> configDirs(const std::string& list) {
    std::vector<std::string> dirs;
    std::istringstream in(list);
    for (std::string dir; std::getline(in, dir, ':');) {
        if (dir.starts_with('/')) {
            dirs.push_back(dir + "/quillmere");
        }
    }
    if (dirs.empty()) {
        dirs.emplace_back("/etc/xdg/quillmere");
    }
    return dirs;
}

// The user's own data location, none without a home folder; nothing is created.
std::string ownLocation(const FolderEnvironment& env) {
    if (!env.dataHome.starts_with('/') && !env.home.starts_with('/')) {
        return {};
    }
    const fs::path base = env.dataHome.starts_with('/') ? fs::path(env.dataHome)
                                                        : fs::path(env.home) / ".local/share";
    return (base / "quillmere" / "data").string();
}

}  // namespace

std::string ResolveProgramFolder(const std::string& home) {
    if (!home.empty()) {
        return home;
    }
    if (std::string env = variable("QUILLMERE_HOME"); !env.empty()) {
        return env;
    }
    std::error_code ec;
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path().string() : exe.parent_path().string();
}

FolderEnvironment ProcessEnvironment() {
    FolderEnvironment env{variable("HOME"),
                          variable("XDG_CONFIG_HOME"),
                          variable("XDG_DATA_HOME"),
                          variable("XDG_CONFIG_DIRS"),
                          {QLM_INSTALLED_PROGRAM_DIR, QLM_INSTALLED_DATA_DIR,
                           QLM_INSTALLED_SETTINGS_DIR, QLM_INSTALLED_DOC_DIR}};
    if (env.home.empty()) {
        // Never a shared folder such as /tmp: the user's own home from the password database.
        if (const passwd* user = ::getpwuid(::getuid());
            user != nullptr && user->pw_dir != nullptr) {
            env.home = user->pw_dir;
        }
    }
    return env;
}

UserFolders ResolveUserFolders(const std::string& programFolder, bool programFolderWritable,
                               const FolderEnvironment& env) {
    std::error_code ec;
    const std::string userData = userFolderPath(env.dataHome, env.home, ".local/share");
    // Decided by place, not by rights: root can write the installation, and must not.
    if (fs::equivalent(programFolder, env.installed.program, ec)) {
        std::vector<std::string> defaults = configDirs(env.configDirs);
        defaults.push_back(env.installed.settings);
        return {env.installed.data,
                userFolder(env.configHome, env.home, ".config"),
                std::move(defaults),
                userFolder(env.dataHome, env.home, ".local/share"),
                env.installed.doc + "/" + GuideFileName,
                ownLocation(env),
                env.installed.settings,
                userData};
    }
    const std::string guide = programFolder + "/doc/" + GuideFileName;
    if (programFolderWritable) {
        return {programFolder,    programFolder, {},      programFolder, guide,
                ownLocation(env), programFolder, userData};
    }
    return {programFolder,   userFolder(env.configHome, env.home, ".config"),
            {programFolder}, userFolder(env.dataHome, env.home, ".local/share"),
            guide,           ownLocation(env),
            programFolder,   userData};
}

bool FolderIsWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace qlm

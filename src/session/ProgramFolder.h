#pragma once

#include <string>
#include <vector>

namespace qlm {

// The question bank, among the program's data files.
inline constexpr const char* QuestionBankFileName = "QLMtest.db";

// The folder the program's files lie in: `home` when given (--home DIR), else the
// QUILLMERE_HOME environment variable when set, else the executable's own folder.
std::string ResolveProgramFolder(const std::string& home = {});

// Where a package puts the program: its executables (and private libraries), its
// architecture-independent data files, the system-wide settings and the documentation.
struct InstalledLayout {
    std::string program;
    std::string data;
    std::string settings;
    std::string doc;
};

// What the folders are resolved from, passed in whole so that tests can set every part.
struct FolderEnvironment {
    std::string home;        // $HOME
    std::string configHome;  // $XDG_CONFIG_HOME
    std::string dataHome;    // $XDG_DATA_HOME
    std::string configDirs;  // $XDG_CONFIG_DIRS
    InstalledLayout installed;
};

// This process's environment and the layout the build was configured to install.
FolderEnvironment ProcessEnvironment();

// Where a run of the program reads its own files and keeps the ones it writes.
struct UserFolders {
    // The data files, the question bank and the spoken prompts: only ever read.
    std::string data;
    // The folder of the user's own settings file "QLMtest.ini", and the files of defaults
    // read under it, key by key, the first holding a key giving its value.
    std::string settings;
    std::vector<std::string> defaults;
    // The report file "report.prn".
    std::string report;
    // The user guide, an HTML file.
    std::string guide;
    // The data location where the settings name none (or a drive letter): the user's own
    // folder, $XDG_DATA_HOME/quillmere/data. Not made here: only a write makes it.
    std::string location;
    // The folder of the installation's own settings file, the only one the site's secret code
    // is read from: the installed settings folder, else the program folder.
    std::string site;
    // The user's own data folder ($XDG_DATA_HOME/quillmere), for what the program keeps of a
    // data location it cannot write; made when first needed.
    std::string userData;
};

// An installed program (one that lives in the installed program folder) never writes its
// installation, whoever runs it, root included: it reads its data from the installed data
// folder, the settings of $XDG_CONFIG_HOME/quillmere over those of each folder of
// $XDG_CONFIG_DIRS and then the installed settings folder, and writes its report to
// $XDG_DATA_HOME/quillmere (by default ~/.config, /etc/xdg and ~/.local/share). Any other
// program folder (a build, an unpacked copy) holds everything itself where it can be written;
// where it cannot, the user's folders take the settings and the report, and its own settings
// file serves as their defaults. The user's folders are created owner-only.
UserFolders ResolveUserFolders(const std::string& programFolder, bool programFolderWritable,
                               const FolderEnvironment& env = ProcessEnvironment());
bool FolderIsWritable(const std::string& folder);

}  // namespace qlm

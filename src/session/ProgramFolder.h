#pragma once

#include <string>

namespace qlm {

// The question bank, beside the program.
inline constexpr const char* QuestionBankFileName = "QLMtest.db";

// The folder the program's files lie in: `home` when given (--home DIR), else the
// QUILLMERE_HOME environment variable when set, else the executable's own folder.
std::string ResolveProgramFolder(const std::string& home = {});

// Where the program keeps the files it writes itself: the settings file and the report file.
struct UserFolders {
    std::string settings;
    std::string report;
};

// The program folder itself where it can be written (as when it is unpacked or built). An
// installed program folder is read-only for its users: then the settings go to
// $XDG_CONFIG_HOME/quillmere and the report to $XDG_DATA_HOME/quillmere (by default
// ~/.config/quillmere and ~/.local/share/quillmere), created owner-only.
UserFolders ResolveUserFolders(const std::string& programFolder, bool programFolderWritable);
bool FolderIsWritable(const std::string& folder);

}  // namespace qlm

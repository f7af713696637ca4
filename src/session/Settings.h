#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qlm {

class FileSystem;

// The settings file "QLMtest.ini" in the program folder, or in the user's own folder; a key
// that file lacks is read from the same file in each folder of defaults in turn (the system's
// settings of an installation). Values are read the way the program has always read them:
// through a buffer of fixed size, with a default only for a key missing everywhere.
class Settings {
public:
    static constexpr const char* FileName = "QLMtest.ini";

    Settings(const FileSystem& files, const std::string& folder,
             const std::vector<std::string>& defaultFolders = {});

    const std::string& path() const { return m_path; }

    bool ReadNumLockSetting() const;
    void WriteNumLockSetting(bool on) const;
    bool ReadPrintDOSSetting() const;
    void WritePrintDOSSetting(bool on) const;
    std::string GetCompanyName() const;
    std::string GetINIFilePath() const;
    void WriteINIFilePath(const std::string& path) const;
    std::string GetINISndPath() const;
    // The workgroup entry that start-up writes on every run.
    void WriteSystemDB(const std::string& value) const;

    // The value as read into a buffer of `bufferSize` characters: at most bufferSize - 1
    // characters of it (all of it for WholeValue); `fallback` only when the key is missing
    // (or the file unreadable).
    static constexpr std::size_t WholeValue = std::string::npos;
    std::string read(const std::string& section, const std::string& key,
                     const std::string& fallback, std::size_t bufferSize) const;
    // Stores one value, leaving every other line as it was; a value the defaults give is not
    // added. A failed write is not reported, and it never damages the file that was there.
    bool write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    bool readBoolean(const char* key) const;
    std::optional<std::string> readFrom(const std::string& path, const std::string& section,
                                        const std::string& key) const;
    std::optional<std::string> readDefault(const std::string& section,
                                           const std::string& key) const;

    const FileSystem& m_files;
    std::string m_path;
    std::vector<std::string> m_defaults;  // the files of defaults, most important first
};

}  // namespace qlm

#pragma once

#include <string>

namespace qlm {

class FileSystem;

// The settings file "QLMtest.ini" in the program folder, or in the user's own folder when the
// program folder cannot be written; a key that file lacks is then read from the program
// folder's file, where an installation keeps its defaults. Values are read the way the
// program has always read them: through a buffer of fixed size, with a default only for a
// missing key.
class Settings {
public:
    static constexpr const char* FileName = "QLMtest.ini";

    // `programFolder`, when given and other than `folder`, holds the file of defaults.
    Settings(const FileSystem& files, const std::string& folder,
             const std::string& programFolder = {});

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
    // Stores one value, leaving every other line as it was. A failed write is not reported,
    // and it never damages the file that was there.
    bool write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    bool readBoolean(const char* key) const;

    const FileSystem& m_files;
    std::string m_path;
    std::string m_defaults;  // the program folder's file, when the settings are kept elsewhere
};

}  // namespace qlm

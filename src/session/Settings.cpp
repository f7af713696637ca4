#include "session/Settings.h"

#include "storage/ClientRecord.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "storage/Profile.h"

namespace qlm {

Settings::Settings(const FileSystem& files, const std::string& folder,
                   const std::vector<std::string>& defaultFolders)
    : m_files(files), m_path(folder + "/" + FileName) {
    for (const std::string& defaults : defaultFolders) {
        if (defaults != folder) {
            m_defaults.push_back(defaults + "/" + FileName);
        }
    }
}

std::optional<std::string> Settings::readFrom(const std::string& path, const std::string& section,
                                              const std::string& key) const {
    try {
        return ReadProfileValue(m_files.readFile(path), section, key);
    } catch (const FileError&) {
        // A missing or unreadable file reads as all defaults.
        return std::nullopt;
    }
}

std::optional<std::string> Settings::readDefault(const std::string& section,
                                                 const std::string& key) const {
    for (const std::string& path : m_defaults) {
        if (auto found = readFrom(path, section, key)) {
            return found;
        }
    }
    return std::nullopt;
}

std::string Settings::read(const std::string& section, const std::string& key,
                           const std::string& fallback, std::size_t bufferSize) const {
    std::optional<std::string> found = readFrom(m_path, section, key);
    if (!found) {
        found = readDefault(section, key);
    }
    const std::string value = found.value_or(fallback);
    return bufferSize == WholeValue ? value : value.substr(0, bufferSize - 1);
}

bool Settings::write(const std::string& section, const std::string& key,
                     const std::string& value) const {
    try {
        std::string content;
        if (m_files.exists(m_path)) {
            content = m_files.readFile(m_path);
        }
        // What the defaults give already stays out of the user's file, so that the user follows
        // the administrator's later changes until choosing otherwise.
        if (!ReadProfileValue(content, section, key) && readDefault(section, key) == value) {
            return true;
        }
        m_files.replaceFile(m_path, WriteProfileValue(content, section, key, value));
        return true;
    } catch (const FileError&) {
        return false;
    }
}

bool Settings::readBoolean(const char* key) const {
    // Only a value beginning "Tru" exactly counts as True.
    return read("Settings", key, "True", 10).starts_with("Tru");
}

bool Settings::ReadNumLockSetting() const {
    return readBoolean("NumLock");
}

void Settings::WriteNumLockSetting(bool on) const {
    write("Settings", "NumLock", on ? "True" : "False");
}

bool Settings::ReadPrintDOSSetting() const {
    return readBoolean("PrintDOS");
}

void Settings::WritePrintDOSSetting(bool on) const {
    write("Settings", "PrintDOS", on ? "True" : "False");
}

std::string Settings::GetCompanyName() const {
    return read("Company", "CompanyName", "TVN", 10).substr(0, 3);
}

std::string Settings::GetINIFilePath() const {
    // Paths are read whole: a path cut short would name another folder.
    return Trim(read("Path", "FilePath", "a:", WholeValue));
}

void Settings::WriteINIFilePath(const std::string& path) const {
    write("Path", "FilePath", path);
}

std::string Settings::GetINISndPath() const {
    return Trim(read("Path", "SndPath", "c:", WholeValue));
}

void Settings::WriteSystemDB(const std::string& value) const {
    write("Options", "SystemDB", value);
}

}  // namespace qlm

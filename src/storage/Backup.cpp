#include "storage/Backup.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "storage/ClientFile.h"
#include "storage/ClientRecord.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

constexpr std::string_view Prefix = "DATA401-";
constexpr std::string_view Suffix = ".QLM";
// "YYYYMMDD-HHMMSS-mmm"
constexpr std::string_view Stamp = "00000000-000000-000";
bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string backupPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

}  // namespace

std::string BackupFolderFor(const std::string& clientFileName) {
    const auto slash = clientFileName.rfind('/');
    return (slash == std::string::npos ? std::string(".") : clientFileName.substr(0, slash)) + "/" +
           BackupFolderName;
}

std::string BackupName(std::chrono::system_clock::time_point when) {
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(millis / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-%03d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis % 1000));
    return std::string(Prefix) + stamp + std::string(Suffix);
}

bool IsBackupName(std::string_view name) {
    if (name.size() != Prefix.size() + Stamp.size() + Suffix.size() ||
        name.substr(0, Prefix.size()) != Prefix || !endsWith(name, Suffix)) {
        return false;
    }
    const std::string_view stamp = name.substr(Prefix.size(), Stamp.size());
    for (std::size_t i = 0; i < Stamp.size(); ++i) {
        const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
        if (Stamp[i] == '-' ? stamp[i] != '-' : !digit) {
            return false;
        }
    }
    return true;
}

bool IsBackupLeftover(std::string_view name) {
    const std::size_t length = Prefix.size() + Stamp.size() + Suffix.size();
    return name.size() > length && IsBackupName(name.substr(0, length)) &&
           FileSystem::isLeftoverOf(name, name.substr(0, length));
}

std::vector<std::string> ListBackups(const FileSystem& files, const std::string& folder) {
    std::vector<std::string> names = files.listFolder(folder);
    std::erase_if(names, [](const std::string& name) { return !IsBackupName(name); });
    std::reverse(names.begin(), names.end());
    return names;
}

std::string MakeBackup(const FileSystem& files, const std::string& clientFileName,
                       const std::string& folder, std::chrono::system_clock::time_point now) {
    if (!files.exists(clientFileName)) {
        return {};
    }
    std::string name;
    try {
        const std::string bytes = files.readFile(clientFileName, MaxClientFileBytes);
        if (bytes.empty()) {
            return {};  // a file of no clients has nothing to keep
        }
        files.makeFolder(folder);
        // Two copies in the same millisecond take the next free moment.
        do {
            name = BackupName(now);
            now += std::chrono::milliseconds(1);
        } while (files.exists(backupPath(folder, name)));
        files.replaceFile(backupPath(folder, name), bytes);
    } catch (const FileError& error) {
        throw FileError(error.number(),
                        error.description() +
                            " (the backup copy of the client file could not "
                            "be made in " +
                            folder + ", so nothing was written)",
                        error.path());
    }
    const std::vector<std::string> backups = ListBackups(files, folder);
    for (std::size_t i = BackupsKept; i < backups.size(); ++i) {
        try {
            files.remove(backupPath(folder, backups[i]));
        } catch (const FileError&) {
            // An old copy that cannot be removed costs room, not data: it is kept.
        }
    }
    return name;
}

std::string WholeClientFileProblem(std::string_view bytes) {
    return WholeClientFileProblem(static_cast<std::int64_t>(bytes.size()));
}

std::string WholeClientFileProblem(std::int64_t length) {
    constexpr auto Size = static_cast<std::int64_t>(ClientRecord::Size);
    if (length % Size != 0) {
        return "its length of " + std::to_string(length) + " bytes is not a whole number of " +
               std::to_string(Size) + "-byte records";
    }
    if (const std::int64_t records = length / Size; records > MaxClients) {
        return "it holds " + std::to_string(records) + " records; a client file holds at most " +
               std::to_string(MaxClients);
    }
    return {};
}

std::string ReadWholeClientFile(const FileSystem& files, const std::string& path) {
    File file = files.open(path, FileSystem::Mode::Read);
    if (const std::string problem = WholeClientFileProblem(file.size()); !problem.empty()) {
        throw DataFileError(path, "not a whole client file: " + problem);
    }
    return file.readAll();
}

std::string RestoreBackup(const FileSystem& files, const std::string& clientFileName,
                          const std::string& folder, const std::string& name,
                          std::chrono::system_clock::time_point now) {
    const std::string path = backupPath(folder, name);
    if (!IsBackupName(name) || !files.exists(path)) {
        throw DataFileError(path, "there is no backup of that name");
    }
    const std::string bytes = ReadWholeClientFile(files, path);
    std::string current = MakeBackup(files, clientFileName, folder, now);
    files.replaceFile(clientFileName, bytes);
    return current;
}

BackupRewrite RewriteBackups(const FileSystem& files, const std::string& folder,
                             const std::function<bool(ClientRecord&)>& change) {
    BackupRewrite done;
    for (const std::string& name : files.listFolder(folder)) {
        if (IsBackupLeftover(name)) {
            try {
                files.remove(backupPath(folder, name));
            } catch (const FileError&) {
                done.failed.push_back(backupPath(folder, name));
            }
        }
    }
    for (const std::string& name : ListBackups(files, folder)) {
        const std::string path = backupPath(folder, name);
        try {
            std::string bytes = files.readFile(path, MaxClientFileBytes);
            bool changed = false;
            for (int r = 1; !RecordBytesOf(bytes, r).empty(); ++r) {
                const std::string_view stored = RecordBytesOf(bytes, r);
                if (!RecordDamage(stored).empty()) {
                    done.damaged.push_back(name + " record " + std::to_string(r));
                    continue;
                }
                ClientRecord record = ClientRecord::fromBytes(stored);
                if (change(record)) {
                    bytes.replace(static_cast<std::size_t>(r - 1) * ClientRecord::Size,
                                  ClientRecord::Size, record.toBytes());
                    changed = true;
                }
            }
            if (changed) {
                files.replaceFile(path, bytes);
                ++done.rewritten;
            }
        } catch (const FileError&) {
            try {
                files.remove(path);
                done.removed.push_back(name);
            } catch (const FileError&) {
                done.failed.push_back(path);
            }
        }
    }
    return done;
}

}  // namespace qlm

#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlm {

class FileSystem;
struct ClientRecord;

// Copies of the client file kept in a folder of the data location, one made before the first
// write of each run, so that a mistaken edit or a damaged disk can be undone.
inline constexpr const char* BackupFolderName = "backup";
inline constexpr std::size_t BackupsKept = 10;

// The backup folder beside `clientFileName`.
std::string BackupFolderFor(const std::string& clientFileName);

// "DATA401-YYYYMMDD-HHMMSS-mmm.QLM" in universal time, so that names sort as their moments do
// whatever the time zone or the change of summer time.
std::string BackupName(std::chrono::system_clock::time_point when);
bool IsBackupName(std::string_view name);
// Whether `name` is what an interrupted write of a backup left behind.
bool IsBackupLeftover(std::string_view name);

// The backups in `folder`, newest first; other files there are not backups and are left alone.
std::vector<std::string> ListBackups(const FileSystem& files, const std::string& folder);

// Copies the client file into `folder` (created owner-only when missing) under the name of
// `now` (a later one if that is taken), owner-only and on the disk before it returns, then
// keeps the newest BackupsKept. Returns the name, or nothing when the client file is missing or
// empty (no clients yet).
// A copy that cannot be made throws FileError: the caller must not go on to write.
std::string MakeBackup(const FileSystem& files, const std::string& clientFileName,
                       const std::string& folder, std::chrono::system_clock::time_point now);

// What keeps `bytes` (or a file of `length` bytes) from being a whole client file (whole
// records, at most 51), or nothing.
std::string WholeClientFileProblem(std::string_view bytes);
std::string WholeClientFileProblem(std::int64_t length);
// The bytes of `path` when it is a whole client file; else a DataFileError says why, judged
// by the file's size before anything is read.
std::string ReadWholeClientFile(const FileSystem& files, const std::string& path);

// Puts backup `name` of `folder` in place of the client file, after backing up the current
// one. A name that is not one of the backups, or a copy that is not a whole client file, is
// refused with a DataFileError saying why; the client file is then as it was. Returns the name
// of the current file's backup (nothing when there was no client file).
std::string RestoreBackup(const FileSystem& files, const std::string& clientFileName,
                          const std::string& folder, const std::string& name,
                          std::chrono::system_clock::time_point now);

// What RewriteBackups did.
struct BackupRewrite {
    int rewritten = 0;                 // backups whose records were changed
    std::vector<std::string> removed;  // backups that could not be read as client files
    std::vector<std::string> failed;  // paths of copies that could be neither rewritten nor removed
    std::vector<std::string> damaged;  // "NAME record N": damaged records left as they are
};

// Applies `change` to every sound record of every backup (it returns whether it changed the
// record) and writes back each backup it changed, whole; a damaged record keeps its bytes. A
// backup that cannot be read as a client file (larger than one can be, unreadable) or cannot
// be rewritten is removed instead; leftovers of interrupted writes are removed too.
BackupRewrite RewriteBackups(const FileSystem& files, const std::string& folder,
                             const std::function<bool(ClientRecord&)>& change);

}  // namespace qlm

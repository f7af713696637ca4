#include "storage/ClientStore.h"

#include <algorithm>

#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

std::string folderOf(const std::string& fileName) {
    const auto slash = fileName.rfind('/');
    return slash == std::string::npos ? std::string(".") : fileName.substr(0, slash);
}

// Beside the file itself, where a link to it leads, so that every program that reaches the
// file by any way locks the same lock file.
std::string lockFileFor(const std::string& fileName) {
    return folderOf(FileSystem::followLinks(fileName)) + "/" + LockFileBaseName;
}

std::size_t at(int n) {
    if (n < 0 || n > MaxClients) {
        throw FileError(FileError::BadRecordNumber, "Bad record number " + std::to_string(n));
    }
    return static_cast<std::size_t>(n);
}

bool markSet(const std::string& field) {
    return std::any_of(field.begin(), field.end(), [](char c) { return c >= '1' && c <= '9'; });
}

int digitOf(const std::string& field) {
    return field[0] >= '0' && field[0] <= '9' ? field[0] - '0' : 0;
}

// What interrupted writes leave in the data location, beside the file a link leads to, and in
// the backup folder.
std::vector<std::string> leftovers(const FileSystem& files, const std::string& fileName) {
    std::vector<std::string> found;
    const std::string target = FileSystem::followLinks(fileName);
    const std::string targetName = target.substr(target.rfind('/') + 1);
    for (const std::string& folder : {folderOf(fileName), folderOf(target)}) {
        for (const std::string& name : files.listFolder(folder)) {
            if ((FileSystem::isLeftoverOf(name, ClientFileBaseName) ||
                 FileSystem::isLeftoverOf(name, JournalBaseName) ||
                 FileSystem::isLeftoverOf(name, targetName)) &&
                std::find(found.begin(), found.end(), folder + "/" + name) == found.end()) {
                found.push_back(folder + "/" + name);
            }
        }
    }
    const std::string backups = BackupFolderFor(fileName);
    for (const std::string& name : files.listFolder(backups)) {
        if (IsBackupLeftover(name)) {
            found.push_back(backups + "/" + name);
        }
    }
    return found;
}

// The paths that could not be removed.
std::vector<std::string> removeAll(const FileSystem& files, const std::vector<std::string>& paths) {
    std::vector<std::string> failed;
    for (const std::string& path : paths) {
        try {
            files.remove(path);
        } catch (const FileError&) {
            failed.push_back(path);
        }
    }
    return failed;
}

}  // namespace

bool SameClient(std::string_view was, std::string_view now) {
    if (was == now) {
        return true;
    }
    if (was.size() < ClientRecord::Size && now.size() == ClientRecord::Size &&
        now.starts_with(was) &&
        now.find_first_not_of(CutRecordPadding, was.size()) == std::string_view::npos) {
        return true;
    }
    const ClientRecord before = ClientRecord::fromBytes(was);
    const ClientRecord after = ClientRecord::fromBytes(now);
    return before.DateScored == after.DateScored &&
           (before.Name == after.Name ||
            (markSet(after.NameDeleted) && !markSet(before.NameDeleted)) ||
            digitOf(after.EditCount) > digitOf(before.EditCount));
}

ClientStore::ClientStore(const FileSystem& files) : m_files(files) {}

FileLock ClientStore::lockLocation() const {
    return m_files.lock(lockFileFor(m_fileName), m_patience, m_fileName);
}

std::string ClientStore::readDisk() const {
    return ReadClientFileBytes(m_files, m_fileName, false);
}

void ClientStore::LoadClients(const std::string& fileName, bool forWriting) {
    std::string disk;
    if (forWriting) {
        const FileLock lock = m_files.lock(lockFileFor(fileName), m_patience, fileName);
        removeAll(m_files, leftovers(m_files, fileName));  // what stays is tried again next time
        disk = ReadClientFileBytes(m_files, fileName, true);
    } else {
        try {
            if (const auto found = leftovers(m_files, fileName); !found.empty()) {
                const FileLock lock =
                    m_files.lock(lockFileFor(fileName), std::chrono::milliseconds(0), fileName);
                removeAll(m_files, found);
            }
        } catch (const FileError&) {
            // A location that cannot be locked is only read.
        }
        disk = ReadClientFileBytes(m_files, fileName, false);
    }
    adopt(fileName, disk);
    m_readOnly = !forWriting;
}

void ClientStore::adopt(std::string fileName, std::string_view disk) {
    // Parsed first: what cannot be a client file is refused before anything changes.
    ClientFileContents contents = ParseClientFile(disk, fileName);
    m_fileName = std::move(fileName);
    m_table = std::move(contents.table);
    m_damage = std::move(contents.damage);
    m_count = contents.count;
    for (int r = 0; r <= MaxClients; ++r) {
        m_stored[at(r)] = r >= 1 && r <= m_count ? std::string(RecordBytesOf(disk, r)) : "";
    }
    m_newClient = false;
}

ClientRecord& ClientStore::entry(int n) {
    return m_table[at(n)];
}

const ClientRecord& ClientStore::entry(int n) const {
    return m_table[at(n)];
}

ClientRecord ClientStore::stored(int n) const {
    return ClientRecord::fromBytes(m_stored[at(n)]);
}

const std::string& ClientStore::damage(int n) const {
    return m_damage[at(n)];
}

int ClientStore::NewClient(const ClientRecord& record) {
    if (m_count >= MaxClients) {
        throw FileError(FileError::BadRecordNumber,
                        "The client file holds " + std::to_string(MaxClients) +
                            " clients, as many as it can hold",
                        m_fileName);
    }
    m_table[at(m_count + 1)] = record;
    m_newClient = true;
    return m_count + 1;
}

bool ClientStore::isNewClient(int n) const {
    return m_newClient && n == m_count + 1;
}

bool ClientStore::holdsOurClients(std::string_view disk) const {
    if (RecordCountForLength(static_cast<std::int64_t>(disk.size())) > MaxClients ||
        RecordCountForLength(static_cast<std::int64_t>(disk.size())) < m_count) {
        return false;
    }
    for (int r = 1; r <= m_count; ++r) {
        if (!SameClient(m_stored[at(r)], RecordBytesOf(disk, r))) {
            return false;
        }
    }
    return true;
}

void ClientStore::takeIn(std::string_view disk) {
    const ClientFileContents now = ParseClientFile(disk, m_fileName);
    const int known = m_count;
    for (int r = 1; r <= now.count; ++r) {
        const std::string_view theirs = RecordBytesOf(disk, r);
        const std::size_t i = at(r);
        if (r <= known && theirs == m_stored[i]) {
            continue;
        }
        if (r <= known && m_table[i] != ClientRecord::fromBytes(m_stored[i])) {
            continue;  // being changed here: its save finds out
        }
        if (r > known && m_newClient) {
            break;  // the new client keeps its entry until it is written
        }
        m_table[i] = now.table[i];
        m_stored[i] = theirs;
        m_damage[i] = now.damage[i];
        m_count = std::max(m_count, r);
    }
}

void ClientStore::refuseChangedLocation(std::string_view disk) const {
    if (!holdsOurClients(disk)) {
        throw FileError(FileError::PathFileAccess,
                        "Path/File access error: the client file holds other clients than it "
                        "did when it was read",
                        m_fileName);
    }
}

void ClientStore::refuseReadOnly() const {
    if (m_readOnly) {
        throw FileError(FileError::PermissionDenied,
                        "Permission denied: the data location was opened for reading only",
                        m_fileName);
    }
}

bool ClientStore::CheckDataLocation() {
    std::string disk;
    try {
        disk = readDisk();
    } catch (const FileError&) {
        return m_count == 0;
    }
    if (!holdsOurClients(disk)) {
        return false;
    }
    takeIn(disk);
    return true;
}

void ClientStore::backUpOnce() {
    if (m_backedUp != m_fileName) {
        MakeBackup(m_files, m_fileName, BackupFolderFor(m_fileName),
                   std::chrono::system_clock::now());
        m_backedUp = m_fileName;
    }
}

void ClientStore::SaveClient(int n) {
    if (n < 1 || n > m_count) {
        throw FileError(FileError::BadRecordNumber, "Bad record number " + std::to_string(n),
                        m_fileName);
    }
    refuseReadOnly();
    const std::size_t i = at(n);
    if (!m_damage[i].empty()) {
        throw FileError(FileError::PathFileAccess,
                        "Path/File access error: record " + std::to_string(n) + " is damaged (" +
                            m_damage[i] + ") and is left as it is",
                        m_fileName);
    }
    const FileLock lock = lockLocation();
    std::string disk = readDisk();
    refuseChangedLocation(disk);
    takeIn(disk);
    if (const std::string_view theirs = RecordBytesOf(disk, n); theirs != m_stored[i]) {
        m_stored[i] = theirs;
        m_damage[i] = RecordDamage(theirs);
        throw FileError(FileError::ChangedElsewhere,
                        "Client " + std::to_string(n) +
                            " was changed by another program since this one read it",
                        m_fileName);
    }
    backUpOnce();
    const std::string record = m_table[i].toBytes();
    disk.replace(static_cast<std::size_t>(n - 1) * ClientRecord::Size, ClientRecord::Size, record);
    m_files.replaceFile(m_fileName, disk);
    m_stored[i] = record;
    m_damage[i] = RecordDamage(record);
}

int ClientStore::CommitNewClient() {
    if (!m_newClient) {
        throw FileError(FileError::BadRecordNumber, "No new client is being entered", m_fileName);
    }
    refuseReadOnly();
    const ClientRecord fresh = m_table[at(m_count + 1)];
    const FileLock lock = lockLocation();
    std::string disk = readDisk();
    refuseChangedLocation(disk);
    // A cut last record is filled out so that the new one stands at its own offset, and the
    // filling keeps it damaged.
    const std::size_t whole =
        (disk.size() + ClientRecord::Size - 1) / ClientRecord::Size * ClientRecord::Size;
    const int number = static_cast<int>(whole / ClientRecord::Size) + 1;
    if (number > MaxClients) {
        throw FileError(FileError::BadRecordNumber,
                        "The client file holds " + std::to_string(number - 1) +
                            " clients, as many as it can hold",
                        m_fileName);
    }
    backUpOnce();
    disk.resize(whole, CutRecordPadding);
    disk += fresh.toBytes();
    m_files.replaceFile(m_fileName, disk);
    m_table[at(m_count + 1)] = ClientRecord{};
    m_newClient = false;
    takeIn(disk);
    return number;
}

void ClientStore::ClearClient(int n) {
    m_table[at(n)] = ClientRecord{};
    if (isNewClient(n)) {
        m_newClient = false;
    }
}

void ClientStore::RevertClient(int n) {
    if (n >= 1 && n <= m_count) {
        m_table[at(n)] = stored(n);
    }
}

std::string ClientStore::RestoreBackup(const std::string& name,
                                       std::chrono::system_clock::time_point now) {
    refuseReadOnly();
    const FileLock lock = lockLocation();
    std::string current =
        qlm::RestoreBackup(m_files, m_fileName, BackupFolderFor(m_fileName), name, now);
    adopt(m_fileName, readDisk());
    return current;
}

BackupRewrite ClientStore::RewriteBackups(const std::function<bool(ClientRecord&)>& change) {
    refuseReadOnly();
    const FileLock lock = lockLocation();
    BackupRewrite done = qlm::RewriteBackups(m_files, BackupFolderFor(m_fileName), change);
    for (std::string& path : removeAll(m_files, leftovers(m_files, m_fileName))) {
        done.failed.push_back(std::move(path));
    }
    return done;
}

}  // namespace qlm

#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "storage/Backup.h"
#include "storage/ClientFile.h"
#include "storage/ClientRecord.h"

namespace qlm {

class FileLock;
class FileSystem;

// The lock file both programs lock around every change of a data location's client file and
// its backups.
inline constexpr const char* LockFileBaseName = "DATA401.LCK";

// The one owner of a data location's client file: the table of its clients, their count, what
// is damaged, the run's backup copy and the location's lock. Nothing else reads or writes the
// client file or its backups. Every change is made under the lock on what the file holds at
// that moment, so that two programs sharing the location never undo each other's work: a save
// writes its one record into the file as it is now, a new client goes after whatever the file
// then holds, and clients another program added or changed are taken in.
class ClientStore {
public:
    explicit ClientStore(const FileSystem& files);

    // How long a lock held by another program is waited for before saying so.
    static constexpr std::chrono::milliseconds DefaultPatience{5000};
    void setPatience(std::chrono::milliseconds patience) { m_patience = patience; }

    // Reads the client file `fileName` (created empty when missing, for writing) and makes its
    // records the table; leftovers of interrupted writes are removed first, under the lock.
    // Only read: nothing is created, the leftovers go only where the location can be locked.
    // On a failure (a FileError) the store keeps what it had.
    void LoadClients(const std::string& fileName, bool forWriting = true);

    const std::string& fileName() const { return m_fileName; }
    // Whether the file was loaded for reading only; every change of it is then refused.
    bool readOnly() const { return m_readOnly; }
    int NumberOfClients() const { return m_count; }
    // Entry n (0 to MaxClients): the working copy of record n, which the screens change before
    // they save it; after the last record, the new client being entered.
    ClientRecord& entry(int n);
    const ClientRecord& entry(int n) const;
    // Record n as the file held it when it was last read or written (blank past the last).
    ClientRecord stored(int n) const;
    // What makes record n damaged; empty for a sound record.
    const std::string& damage(int n) const;

    // Takes `record` as the new client after the last one, in memory only; returns its entry.
    int NewClient(const ClientRecord& record);
    // Whether entry n is the new client, not yet in the file.
    bool isNewClient(int n) const;
    // Writes entry n as record n of the file as it is now. Refused (FileError) when record n is
    // damaged, or was changed by another program since it was read (ChangedElsewhere: the
    // stored record is then the other program's), or the file holds other clients now.
    void SaveClient(int n);
    // Writes the new client after whatever the file holds now, and takes in the clients
    // another program added meanwhile; returns the new client's record number.
    int CommitNewClient();
    // Blanks entry n in memory; a new client is given up.
    void ClearClient(int n);
    // Entry n back as the file holds it.
    void RevertClient(int n);

    // Whether the file still holds the clients of the table (records of its own that another
    // program edited or whose names it deleted count as the same), and no more than 51. When it
    // does, what another program added or changed is taken in, except the new client's and
    // changed entries.
    bool CheckDataLocation();

    // Backup `name` in place of the client file (the current one backed up first); the table
    // then holds its clients. Returns the name of the current file's backup.
    std::string RestoreBackup(const std::string& name, std::chrono::system_clock::time_point now);
    // RewriteBackups of the location's backups, under the lock; the leftovers of interrupted
    // writes beside the client file go too (those that cannot are named as failed).
    BackupRewrite RewriteBackups(const std::function<bool(ClientRecord&)>& change);

private:
    FileLock lockLocation() const;
    std::string readDisk() const;
    bool holdsOurClients(std::string_view disk) const;
    void takeIn(std::string_view disk);
    void adopt(std::string fileName, std::string_view disk);
    void backUpOnce();
    void refuseChangedLocation(std::string_view disk) const;
    void refuseReadOnly() const;

    const FileSystem& m_files;
    std::chrono::milliseconds m_patience = DefaultPatience;
    std::string m_fileName;
    ClientTable m_table;
    // The bytes of each record as the file held them when last read or written.
    std::array<std::string, MaxClients + 1> m_stored{};
    std::array<std::string, MaxClients + 1> m_damage{};
    int m_count = 0;
    bool m_newClient = false;
    bool m_readOnly = false;
    // The client file this run has backed up already: a copy is made before its first write.
    std::string m_backedUp;
};

// Whether record bytes `now` can be what became of `was` by another program's hand: the same
// day of scoring, and the same name unless the other program deleted it or edited the client's
// information (both leave their mark in the record). A cut record padded out is the same.
bool SameClient(std::string_view was, std::string_view now);

}  // namespace qlm

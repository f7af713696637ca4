#pragma once

#include <functional>
#include <string>

namespace qlm {

struct Session;

inline constexpr const char* WriteTestFileName = "checkWriteTest";

// The client file of a data location ("/" joins them on this platform).
std::string ClientFileNameFor(const std::string& dataPath);

// The data location the settings name (FilePath); where they name none (it is empty or a
// drive letter such as "a:"), the user's own folder.
std::string StoredDataPath(const Session& session);

// How a location is to be used: the screens write it, a report or a listing only reads it.
enum class LocationUse { ReadWrite, ReadOnly };

// Opens the data location `path`: loads its client file (created empty when missing) and
// proves the location writable by creating and deleting a scratch file; the user's own
// location (Session::OwnDataPath) is made, owner-only, when it is missing. For reading only,
// nothing is created or written: a missing client file, or a missing own location, is a
// location without clients. On success the session's DataPath, ClientFileName and client
// table describe the new location and true is returned; on failure a FileError is thrown and
// the session keeps the location it had, so that nothing of one location can be written into
// another.
bool OpenDataLocation(Session& session, const std::string& path,
                      LocationUse use = LocationUse::ReadWrite);

// Whether the client file still holds the clients the session knows of; clients another
// program added or changed meanwhile are taken in (ClientStore::CheckDataLocation). When it does
// not, `changed` is called (the caller shows its message, the user may put the original
// location back) and the file is looked at again; if it still differs, `notFound` is called and
// the result is false.
bool CheckDataLocation(Session& session, const std::function<void()>& changed,
                       const std::function<void()>& notFound);

}  // namespace qlm

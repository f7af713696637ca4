#include "storage/ClientFile.h"

#include <algorithm>
#include <cmath>

#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

constexpr std::int64_t RecordSize = static_cast<std::int64_t>(ClientRecord::Size);

}  // namespace

std::int16_t RecordCountForLength(std::int64_t length) {
    // nearbyint rounds halves to even in the default rounding mode.
    const double count = std::nearbyint(static_cast<double>(length) / RecordSize);
    return count > 32767 ? std::int16_t{32767} : static_cast<std::int16_t>(count);
}

namespace {

void refuseLength(std::int64_t length, const std::string& fileName) {
    if (RecordCountForLength(length) > MaxClients) {
        const auto records = static_cast<std::int64_t>(
            std::nearbyint(static_cast<double>(length) / RecordSize));
        throw FileError(FileError::BadRecordNumber,
                        "The client file " + fileName + " holds " + std::to_string(records) +
                            " records (" + std::to_string(length) + " bytes); at most " +
                            std::to_string(MaxClients) + " can be used",
                        fileName);
    }
}

}  // namespace

ClientFileContents ParseClientFile(std::string_view bytes, const std::string& fileName) {
    refuseLength(static_cast<std::int64_t>(bytes.size()), fileName);
    ClientFileContents contents;
    const std::int16_t count = RecordCountForLength(static_cast<std::int64_t>(bytes.size()));
    for (int r = 1; r <= count; ++r) {
        const std::size_t offset = static_cast<std::size_t>(r - 1) * ClientRecord::Size;
        const std::string_view stored = bytes.substr(std::min(offset, bytes.size()), ClientRecord::Size);
        contents.table[static_cast<std::size_t>(r)] = ClientRecord::fromBytes(stored);
        contents.damage[static_cast<std::size_t>(r)] = RecordDamage(stored);
    }
    contents.count = count;
    return contents;
}

ClientFileContents ReadClientFile(const FileSystem& files, const std::string& fileName,
                                  bool createMissing) {
    if (!createMissing && !files.exists(fileName)) {
        return {};
    }
    File file = files.open(
        fileName, createMissing ? FileSystem::Mode::ReadWriteCreate : FileSystem::Mode::Read);
    refuseLength(file.size(), fileName);  // before reading what may be a huge foreign file
    const std::string bytes = file.readAll();
    file.close();
    return ParseClientFile(bytes, fileName);
}

void WriteClientRecord(const FileSystem& files, const std::string& fileName,
                       const ClientTable& table, int n) {
    if (n < 1 || n > MaxClients) {
        throw FileError(FileError::BadRecordNumber, "Bad record number " + std::to_string(n),
                        fileName);
    }
    const std::string old = files.exists(fileName) ? files.readFile(fileName) : std::string();
    // A file that ends inside an earlier record (a short last record) gets that record
    // written whole first, so that no gap of undefined bytes is left before record n.
    const auto length = static_cast<std::int64_t>(old.size());
    const int first = static_cast<int>(std::min<std::int64_t>(length / RecordSize + 1, n));
    std::string bytes = old.substr(0, static_cast<std::size_t>((first - 1) * RecordSize));
    for (int r = first; r <= n; ++r) {
        bytes += table[static_cast<std::size_t>(r)].toBytes();
    }
    if (length > n * RecordSize) {
        bytes += old.substr(static_cast<std::size_t>(n * RecordSize));
    }
    // The whole file is replaced at once, so that a failure or a crash leaves the old file.
    files.replaceFile(fileName, bytes);
}

}  // namespace qlm

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
        const auto records =
            static_cast<std::int64_t>(std::nearbyint(static_cast<double>(length) / RecordSize));
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
        const std::string_view stored = RecordBytesOf(bytes, r);
        contents.table[static_cast<std::size_t>(r)] = ClientRecord::fromBytes(stored);
        contents.damage[static_cast<std::size_t>(r)] = RecordDamage(stored);
    }
    contents.count = count;
    return contents;
}

std::string_view RecordBytesOf(std::string_view bytes, int r) {
    const auto offset = static_cast<std::size_t>(r - 1) * ClientRecord::Size;
    return bytes.substr(std::min(offset, bytes.size()), ClientRecord::Size);
}

std::string ReadClientFileBytes(const FileSystem& files, const std::string& fileName,
                                bool createMissing) {
    if (!createMissing && !files.exists(fileName)) {
        return {};
    }
    File file = files.open(
        fileName, createMissing ? FileSystem::Mode::ReadWriteCreate : FileSystem::Mode::Read);
    refuseLength(file.size(), fileName);  // before reading what may be a huge foreign file
    std::string bytes = file.readAll();
    file.close();
    refuseLength(static_cast<std::int64_t>(bytes.size()), fileName);
    return bytes;
}

}  // namespace qlm

#pragma once

#include <QTemporaryDir>
#include <string>
#include <string_view>

#include "storage/FileSystem.h"

namespace qlm::test {

// A program folder and a data location of the test's own, removed afterwards.
class TestFolder {
public:
    TestFolder();

    std::string root() const;
    std::string program() const { return root() + "/program"; }
    std::string data() const { return root() + "/data"; }
    std::string clientFile() const { return data() + "/DATA401.QLM"; }
    // The scoring tables and report texts of the build, copied beside the program.
    void installBuiltDataFiles() const;

    static void write(const std::string& path, std::string_view bytes);
    static std::string read(const std::string& path);
    // The built program folder and the source tree, for tests of the shipped files.
    static std::string builtProgramFolder();
    static std::string sourceFolder();

private:
    QTemporaryDir m_dir;
};

// Fails `op` on every path that contains `pathPart` with the errno value `err`.
FaultInjector FailOn(FileOp op, std::string pathPart, int err);

// A 185-byte record holding `name` and the given answers (blank-padded), for file tests.
std::string RecordBytes(std::string_view name, std::string_view answers = {});

}  // namespace qlm::test

#include "support/TestFolder.h"

#include <QDir>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "storage/ClientRecord.h"

namespace qlm::test {

TestFolder::TestFolder() {
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath("program") ||
        !QDir(m_dir.path()).mkpath("data")) {
        qFatal("cannot make a temporary folder");
    }
}

std::string TestFolder::root() const {
    return m_dir.path().toStdString();
}

void TestFolder::write(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        qFatal("cannot write %s", path.c_str());
    }
}

std::string TestFolder::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void TestFolder::installBuiltDataFiles() const {
    const QDir built(QString::fromStdString(builtProgramFolder()));
    for (const QString& name : built.entryList({"*.TXT"}, QDir::Files)) {
        write(program() + "/" + name.toStdString(), read(built.filePath(name).toStdString()));
    }
}

std::string TestFolder::builtProgramFolder() {
    return qEnvironmentVariable("QLM_PROGRAM_DIR").toStdString();
}

std::string TestFolder::sourceFolder() {
    return qEnvironmentVariable("QLM_SOURCE_DIR").toStdString();
}

FaultInjector FailOn(FileOp op, std::string pathPart, int err) {
    return [op, pathPart = std::move(pathPart), err](FileOp actual, const std::string& path) {
        return actual == op && path.find(pathPart) != std::string::npos ? err : 0;
    };
}

std::string RecordBytes(std::string_view name, std::string_view answers) {
    ClientRecord record;
    record.set(&ClientRecord::Name, name);
    record.set(&ClientRecord::Answers, answers);
    return record.toBytes();
}

}  // namespace qlm::test

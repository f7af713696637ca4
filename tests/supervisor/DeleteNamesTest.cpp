#include <QtTest>
#include <cerrno>
#include <filesystem>

#include "supervisor/DeleteNames.h"
#include "support/EntryProgram.h"
#include "support/Rows.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

// The answer to the warning, the file a write or a removal fails on, and what the last message
// says.
struct DeleteRow {
    const char* tag;
    bool yes;
    const char* fault;
    const char* said;
};
const DeleteRow deleteRows[] = {
    {"yes", true, "", "Process complete."},
    {"no changes nothing", false, "", "Are you SURE"},
    {"a failed write stops and says so", true, "DATA401.QLM",
     "The name of client 1 could not be deleted: Error 61:"},
    {"an old copy that keeps the names is named", true, "DATA401-20261201",
     "could not be removed: <data>/backup/DATA401-20261201-090000-000.QLM."},
};

}  // namespace

class DeleteNamesTest : public QObject {
    Q_OBJECT

private slots:
    // Every character but the blank changes, to a printable one; two equal names come out
    // differently, and the old fixed shift taken back recovers nothing.
    void scrambling() {
        QByteArray every;
        for (int code = 0x21; code <= 0xFF; ++code) {
            every += char(code);
        }
        for (const QByteArray& name :
             {QByteArray("SHEET, PAT" + QByteArray(15, ' ')), QByteArray(25, ' '), every}) {
            const std::string original = name.toStdString();
            std::string once = original;
            std::string twice = original;
            ScrambleName(once);
            ScrambleName(twice);
            QCOMPARE(once.size(), original.size());
            std::string unshifted = once;
            for (std::size_t i = 0; i < original.size(); ++i) {
                const int code = static_cast<unsigned char>(once[i]);
                const bool printable =
                    (code >= 0x21 && code <= 0x7E) || (code >= 0xA1 && code != 0xAD);
                QCOMPARE(once[i] == ' ', original[i] == ' ');
                QVERIFY(original[i] == ' ' || (once[i] != original[i] && printable));
                unshifted[i] = once[i] == ' ' ? ' ' : char(code - (code % 2 == 0 ? 3 : 7));
            }
            const bool blank = original == std::string(original.size(), ' ');
            QCOMPARE(once == twice, blank);
            QCOMPARE(unshifted == original, blank);
        }
    }

    void deleteNames_data() { test::AddRows(deleteRows); }

    // Names not deleted before are scrambled, marked and saved, in the client file and every
    // copy of it in the data location (a cut copy's damaged record left and named); the report
    // that may hold one is removed and the run logged; a second run changes nothing.
    void deleteNames() {
        const DeleteRow& r = test::CurrentRow(deleteRows);
        const bool yes = r.yes;
        const QString fault = r.fault;
        QString said = r.said;
        ClientRecord deleted = ClientRecord::fromBytes(test::RecordBytes("DGLOWS"));
        deleted.set(&ClientRecord::NameDeleted, "1");
        test::EntryProgram program(
            test::RecordBytes("AB") + deleted.toBytes() + test::RecordBytes("ZOE, ZACK"),
            [fault](FileOp op, const std::string& path) {
                const bool hit = !fault.isEmpty() && path.find(fault.toStdString()) != path.npos;
                const bool fails = fault == "DATA401.QLM"
                                       ? op == FileOp::Write
                                       : op == FileOp::Rename || op == FileOp::Remove;
                return hit && fails ? ENOSPC : 0;
            });
        const std::string& onDisk = program.onDisk;
        const std::string backups = program.folder.data() + "/backup/DATA401-2026120";
        std::filesystem::create_directory(program.folder.data() + "/backup");
        TestFolder::write(backups + "1-090000-000.QLM", onDisk);
        TestFolder::write(backups + "2-090000-000.QLM", onDisk.substr(0, 300));
        TestFolder::write(backups + "3-090000-000.QLM.new", onDisk);
        TestFolder::write(program.folder.clientFile() + ".new", onDisk);
        TestFolder::write(program.session.reportFile(), "AB REPORT\r\n");
        program.fake.messages.answer(yes ? MsgAnswer::Yes : MsgAnswer::No).answer(MsgAnswer::OK);
        DelNames(program.session, program.fake.messages);

        const auto& shown = program.fake.messages.shown;
        QCOMPARE(shown.front().buttons, MsgButtons::YesNoDefaultNo);
        QVERIFY2(shown.back().text.find(
                     said.replace("<data>", program.folder.data().c_str()).toStdString()) !=
                     std::string::npos,
                 shown.back().text.c_str());
        const bool done = yes && fault != "DATA401.QLM";
        QCOMPARE(std::filesystem::exists(program.session.reportFile()), !done);
        const std::string after = TestFolder::read(program.folder.clientFile());
        if (!done) {
            QCOMPARE(after, onDisk);
            QCOMPARE(program.session.Clients.entry(1).Name.substr(0, 2), std::string("AB"));
            return;
        }
        for (const int r : {0, 2}) {
            QCOMPARE(after.substr(r * 185, 25).find(' '), std::size_t(r == 0 ? 2 : 4));
            QCOMPARE(after.substr(r * 185 + 25, 160), onDisk.substr(r * 185 + 25, 159) + "1");
        }
        QCOMPARE(after.substr(185, 185), onDisk.substr(185, 185));
        if (!fault.isEmpty()) {
            return;
        }
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(program.folder.data())) {
            const std::string bytes = entry.is_regular_file() ? TestFolder::read(entry.path()) : "";
            QVERIFY2(bytes.find("ZOE, ZACK") == bytes.npos && bytes.find("AB   ") == bytes.npos,
                     entry.path().c_str());
        }
        QVERIFY(
            shown.back().text.starts_with("These records are damaged and were left as they "
                                          "are, names included: DATA401-20261202-090000-000.QLM "
                                          "record 2."));

        program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
        DelNames(program.session, program.fake.messages);
        QCOMPARE(TestFolder::read(program.folder.clientFile()), after);
        const QString log =
            QString::fromStdString(TestFolder::read(program.folder.data() + "/access.log"));
        QVERIFY2(log.contains(QRegularExpression("\tdelete-names\t1,3\n.*\tdelete-names\t-\n$")),
                 qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(DeleteNamesTest)
#include "DeleteNamesTest.moc"

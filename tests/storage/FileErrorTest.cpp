#include <QtTest>
#include <cerrno>

#include "storage/FileError.h"
#include "support/TestFolder.h"

using namespace qlm;

// Operating-system errors become the classes the screens act on.
class FileErrorTest : public QObject {
    Q_OBJECT

private slots:
    void errnoMapsOntoClasses_data();
    void errnoMapsOntoClasses();
};

void FileErrorTest::errnoMapsOntoClasses_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<bool>("parentExists");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("unavailable");
    QTest::newRow("name too long") << ENAMETOOLONG << true << 52 << true;
    QTest::newRow("file missing") << ENOENT << true << 53 << true;
    QTest::newRow("folder missing") << ENOENT << false << 76 << true;
    QTest::newRow("file where a folder should be") << ENOTDIR << true << 76 << true;
    QTest::newRow("device error") << EIO << true << 57 << true;
    QTest::newRow("permission") << EACCES << true << 70 << false;
    QTest::newRow("read-only file system") << EROFS << true << 70 << false;
    QTest::newRow("no medium") << ENOMEDIUM << true << 71 << true;
    QTest::newRow("disk full") << ENOSPC << true << 61 << false;
    QTest::newRow("anything else") << EMFILE << true << 75 << false;
}

void FileErrorTest::errnoMapsOntoClasses() {
    QFETCH(int, err);
    QFETCH(bool, parentExists);
    QFETCH(int, number);
    QFETCH(bool, unavailable);
    test::TestFolder folder;
    const std::string path =
        parentExists ? folder.data() + "/DATA401.QLM" : folder.data() + "/gone/DATA401.QLM";
    const FileError e = FileError::fromErrno(err, path);
    QCOMPARE(e.number(), number);
    QCOMPARE(e.locationUnavailable(), unavailable);
    QCOMPARE(e.path(), path);
    QVERIFY(!e.description().empty());
}

QTEST_GUILESS_MAIN(FileErrorTest)
#include "FileErrorTest.moc"

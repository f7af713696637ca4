#include <QtTest>
#include <cerrno>

#include "ReportFixture.h"
#include "report/Report.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"

using namespace qlm;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;
using qlm::test::TestFolder;

class ReportFileTest : public QObject {
    Q_OBJECT

private slots:
    // Each expected file was checked line by line before it was kept; QLM_UPDATE_EXPECTED
    // rewrites them.
    void completeReportsMatchTheirExpectedFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("full") << "full";
        QTest::newRow("not scored") << "not-scored";
        QTest::newRow("invalid") << "invalid";
    }
    void completeReportsMatchTheirExpectedFiles() {
        QFETCH(QString, name);
        ReportFixture f;
        if (name == "full") {
            // Long narratives push the responses grid onto a page of its own.
            f.setPercentiles(80, 96, 92, 94, 96);
        } else if (name == "not-scored") {
            f.session.Publisher = PublisherCode::First;
            f.setPercentiles(91, 93, 97, 40, 9);
            f.state().OmittedCount = {0, 1, 0, 2, 6, 0};
            f.state().ItemAnswers[104] = 0;
            f.state().ItemAnswers[107] = 5;
            f.state().CourtCounts.fill("N/A");
        } else {
            f.setPercentiles(95, 99, 99, 99, 99);
        }
        WriteReport(f.session);
        const std::string bytes = TestFolder::read(f.program("report.prn"));
        const std::string expected =
            TestFolder::sourceFolder() + "/tests/report/expected/" + name.toStdString() + ".prn";
        if (qEnvironmentVariableIsSet("QLM_UPDATE_EXPECTED")) {
            TestFolder::write(expected, bytes);
        }
        QCOMPARE(QByteArray::fromStdString(bytes),
                 QByteArray::fromStdString(TestFolder::read(expected)));
    }

    // The full report erases the tables it used; the invalid one leaves them.
    void truthfulness95MakesTheInvalidTestReport_data() {
        QTest::addColumn<int>("truthfulness");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("94 is a full report") << 94 << false;
        QTest::newRow("95 is invalid") << 95 << true;
    }
    void truthfulness95MakesTheInvalidTestReport() {
        QFETCH(int, truthfulness);
        QFETCH(bool, invalid);
        ReportFixture f;
        f.setPercentiles(truthfulness, 20, 20, 20, 20);
        WriteReport(f.session);
        const QString report = QString::fromLatin1(TestFolder::read(f.program("report.prn")));
        QCOMPARE(report.contains("NOT  VALID"), invalid);
        QCOMPARE(report.contains("SUMMARY PARAGRAPHS"), !invalid);
        QCOMPARE(f.session.Tables.ScaleName[1].empty(), !invalid);
        QCOMPARE(f.session.Tables.NarrativeFile[1].empty(), !invalid);
    }

    void failuresLeaveNoReportBehind_data() {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<int>("failingOp");
        QTest::addColumn<int>("errorClass");  // 0: DataFileError
        QTest::newRow("narrative file missing") << "QLMVI.TXT" << -1 << 0;
        QTest::newRow("invalid-test text missing") << "INVAL.TXT" << -1 << 0;
        QTest::newRow("write fails") << "" << int(FileOp::Write) << 57;
        QTest::newRow("flush fails") << "" << int(FileOp::Sync) << 57;
        QTest::newRow("no permission") << "" << int(FileOp::Open) << 70;
    }
    void failuresLeaveNoReportBehind() {
        QFETCH(QString, missing);
        QFETCH(int, failingOp);
        QFETCH(int, errorClass);
        ReportFixture f(failingOp < 0 ? FaultInjector{}
                                      : test::FailOn(static_cast<FileOp>(failingOp), "report.prn",
                                                     errorClass == 70 ? EACCES : EIO));
        if (missing == "INVAL.TXT") {
            f.setPercentiles(97, 99, 99, 99, 99);
        }
        if (!missing.isEmpty()) {
            QFile::remove(QString::fromStdString(f.program(missing.toStdString())));
        }
        TestFolder::write(f.program("report.prn"), "an earlier client's report\r\n");
        try {
            WriteReport(f.session);
            QFAIL("no error");
        } catch (const DataFileError& e) {
            QCOMPARE(errorClass, 0);
            QCOMPARE(e.file(), f.program(missing.toStdString()));
            QCOMPARE(TestFolder::read(f.program("report.prn")), "");
        } catch (const FileError& e) {
            QCOMPARE(e.number(), errorClass);
        }
        QVERIFY(!f.session.Tables.ScaleName[1].empty());
    }

    // Narratives end at ReportLine 19 + the Violence lines.
    void pageRulesAroundTheNarratives_data() {
        QTest::addColumn<int>("violenceLines");
        QTest::addColumn<QStringList>("before");  // the lines before the responses heading
        const QString antisocial = "        antisocial text";
        const QString violence = "        violence text";
        const QString header =
            "       NAME: ROSALIND EXAMPLE           -3-                         QLM REPORT";
        const QString heading =
            "       Antisocial SCALE: LOW RISK RANGE                     RISK PERCENTILE:20";
        QTest::newRow("grid fits at 53")
            << 34 << QStringList{violence, "", heading, antisocial, ""};
        QTest::newRow("grid moves at 54") << 35 << QStringList{antisocial, "", "\f", header, ""};
        // The 43rd line makes 58: a new page, and no empty line before the next heading.
        QTest::newRow("narrative ends a page")
            << 43 << QStringList{violence, "\f", header, "", heading, antisocial, ""};
    }
    void pageRulesAroundTheNarratives() {
        QFETCH(int, violenceLines);
        QFETCH(QStringList, before);
        ReportFixture f;
        f.setPercentiles(20, 20, 20, 20, 20);
        for (const char* name : {"QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMAS.TXT"}) {
            TestFolder::write(f.program(name), "LOW\nantisocial text\nEND\n");
        }
        std::string violence = "LOW\n";
        for (int i = 0; i < violenceLines; ++i) {
            violence += "violence text\n";
        }
        TestFolder::write(f.program("QLMVI.TXT"), violence + "END\n");
        const QStringList lines = ReportLines(ComposeReport(f.session));
        const qsizetype grid = lines.indexOf(QRegularExpression(" +Quillmere Responses.*"));
        QVERIFY(grid > 0);
        QCOMPARE(lines.mid(grid - before.size(), before.size()), before);
    }
};

QTEST_GUILESS_MAIN(ReportFileTest)
#include "ReportFileTest.moc"

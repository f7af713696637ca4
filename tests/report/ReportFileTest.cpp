#include <QtTest>
#include <cerrno>
#include <tuple>

#include "ReportFixture.h"
#include "report/Report.h"
#include "session/Operations.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"

using namespace qlm;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;
using qlm::test::TestFolder;

// The text file beside the program to remove or replace, its content, the failing operation
// on the report file, and the message part or error class expected.
using FailureRow = std::tuple<QString, QByteArray, int, QString>;

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
            // Truthfulness 94 is the last of a full report; codes without a text print "N/A".
            f.session.Publisher = PublisherCode::First;
            f.setPercentiles(94, 93, 97, 40, 9);
            f.state().ClientInfo[3] = "";
            f.state().ClientInfo[4] = "9";
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
        // The full report erases the tables it used; the invalid one leaves them.
        QCOMPARE(f.session.Tables.ScaleName[1].empty(), name != "invalid");
        QCOMPARE(f.session.Tables.NarrativeFile[1].empty(), name != "invalid");
    }

    // A text beside the program that is missing or incomplete is named with its block, a file
    // error keeps its class; either way the earlier report stays whole and nothing half
    // written is left beside it.
    void failuresLeaveTheEarlierReportWhole_data() {
        QTest::addColumn<FailureRow>("row");
        QTest::newRow("narrative file missing")
            << FailureRow{"QLMVI.TXT", "", -1, "cannot be read"};
        QTest::newRow("no block") << FailureRow{"QLMAS.TXT", "LOW\nText\nEND\n", -1,
                                                "has no block \"MAXIMUM-HIGH\""};
        QTest::newRow("no END") << FailureRow{"QLMAS.TXT", "MAXIMUM-HIGH\nText\nLOW\n", -1,
                                              "block \"MAXIMUM-HIGH\" ends before its END line"};
        QTest::newRow("invalid-test text missing")
            << FailureRow{"INVAL.TXT", "", -1, "cannot be read"};
        QTest::newRow("write fails") << FailureRow{"", "", int(FileOp::Write), "57"};
        QTest::newRow("flush fails") << FailureRow{"", "", int(FileOp::Sync), "57"};
        QTest::newRow("rename fails") << FailureRow{"", "", int(FileOp::Rename), "57"};
        QTest::newRow("no permission") << FailureRow{"", "", int(FileOp::Open), "70"};
    }
    void failuresLeaveTheEarlierReportWhole() {
        QFETCH(FailureRow, row);
        const auto& [text, content, failingOp, problem] = row;
        ReportFixture f(failingOp < 0 ? FaultInjector{}
                                      : test::FailOn(static_cast<FileOp>(failingOp), "report.prn",
                                                     problem == "70" ? EACCES : EIO));
        if (text == "INVAL.TXT") {
            f.setPercentiles(97, 99, 99, 99, 99);
        }
        const std::string path = f.program(text.toStdString());
        if (!text.isEmpty()) {
            QFile::remove(QString::fromStdString(path));
        }
        if (!content.isEmpty()) {
            TestFolder::write(path, content.toStdString());
        }
        TestFolder::write(f.program("report.prn"), "an earlier client's report\r\n");
        try {
            WriteReport(f.session);
            QFAIL("no error");
        } catch (const DataFileError& e) {
            QCOMPARE(e.file(), path);
            QVERIFY2(QString(e.what()).contains(problem), e.what());
        } catch (const FileError& e) {
            QCOMPARE(QString::number(e.number()), problem);
        }
        QCOMPARE(TestFolder::read(f.program("report.prn")),
                 std::string("an earlier client's report\r\n"));
        QVERIFY(!QFile::exists(QString::fromStdString(f.program("report.prn.new"))));
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

    // Section 2 takes 16 lines: after significant items that end at line 42 it stays on the
    // page, at 43 it starts a new one. All 55 items take 15 + 14 rows, 43 lines in all.
    void section2StartsANewPageUnlessItFits() {
        for (const bool allItems : {false, true}) {
            ReportFixture f;
            f.setPercentiles(20, 20, 20, 20, 20);
            for (std::size_t item = 1; item <= 55; ++item) {
                f.state().ItemScore[item] = allItems || item != 29 ? 1 : 0;
            }
            const QStringList lines = ReportLines(ComposeReport(f.session));
            const qsizetype section2 = lines.indexOf(QRegularExpression(" +SECTION 2\\..*"));
            QCOMPARE(lines.value(section2 - 3) == "\f", allItems);
        }
    }
};

QTEST_GUILESS_MAIN(ReportFileTest)
#include "ReportFileTest.moc"

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
    void completeReportsMatchTheirExpectedFiles_data();
    void completeReportsMatchTheirExpectedFiles();
    void truthfulness95MakesTheInvalidTestReport_data();
    void truthfulness95MakesTheInvalidTestReport();
    void failuresLeaveNoReportBehind_data();
    void failuresLeaveNoReportBehind();
    void pageRulesAroundTheNarratives_data();
    void pageRulesAroundTheNarratives();
};

namespace {

enum class Case { Full, NotScored, Invalid };

// The three clients kept as expected reports.
void prepare(ReportFixture& f, Case c) {
    switch (c) {
        case Case::Full:
            // Long narratives push the responses grid onto a page of its own.
            f.setPercentiles(80, 96, 92, 94, 96);
            break;
        case Case::NotScored:
            f.session.Publisher = PublisherCode::First;
            f.setPercentiles(91, 93, 97, 40, 9);
            f.state().OmittedCount = {0, 1, 0, 2, 6, 0};
            f.state().ItemAnswers[104] = 0;
            f.state().ItemAnswers[107] = 5;
            f.state().CourtCounts = {"",    "N/A", "N/A", "N/A", "N/A", "N/A",
                                     "N/A", "N/A", "N/A", "N/A", "N/A", "N/A"};
            break;
        case Case::Invalid:
            f.setPercentiles(95, 99, 99, 99, 99);
            break;
    }
}

std::string expectedPath(const QString& name) {
    return TestFolder::sourceFolder() + "/tests/report/expected/" + name.toStdString() + ".prn";
}

}  // namespace

void ReportFileTest::completeReportsMatchTheirExpectedFiles_data() {
    QTest::addColumn<int>("reportCase");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pages");
    QTest::newRow("full") << int(Case::Full) << "full" << 3;
    QTest::newRow("not scored") << int(Case::NotScored) << "not-scored" << 3;
    QTest::newRow("invalid") << int(Case::Invalid) << "invalid" << 2;
}

void ReportFileTest::completeReportsMatchTheirExpectedFiles() {
    QFETCH(int, reportCase);
    QFETCH(QString, name);
    QFETCH(int, pages);
    ReportFixture f;
    prepare(f, static_cast<Case>(reportCase));
    WriteReport(f.session);
    const std::string bytes = TestFolder::read(f.program("report.prn"));
    if (qEnvironmentVariableIsSet("QLM_UPDATE_EXPECTED")) {
        TestFolder::write(expectedPath(name), bytes);
    }
    QCOMPARE(QByteArray::fromStdString(bytes),
             QByteArray::fromStdString(TestFolder::read(expectedPath(name))));

    // Every line ends in CR LF and stays within column 78; only the chart's axis label
    // "90 100" runs on to column 79.
    QVERIFY(bytes.size() > 2 && bytes.substr(bytes.size() - 2) == "\r\n");
    const QStringList lines = ReportLines(bytes);
    QCOMPARE(lines.filter("\n").size(), 0);
    for (const QString& line : lines) {
        QVERIFY2(line.size() <= 78 || line.endsWith("90 100"), qPrintable(line));
    }
    QCOMPARE(lines.count("\f"), pages - 1);
}

void ReportFileTest::truthfulness95MakesTheInvalidTestReport_data() {
    QTest::addColumn<int>("truthfulness");
    QTest::addColumn<bool>("invalid");
    QTest::newRow("94 is a full report") << 94 << false;
    QTest::newRow("95 is invalid") << 95 << true;
}

void ReportFileTest::truthfulness95MakesTheInvalidTestReport() {
    QFETCH(int, truthfulness);
    QFETCH(bool, invalid);
    ReportFixture f;
    f.setPercentiles(truthfulness, 20, 20, 20, 20);
    WriteReport(f.session);
    const QString report = QString::fromLatin1(TestFolder::read(f.program("report.prn")));
    QCOMPARE(report.contains("NOT  VALID"), invalid);
    QCOMPARE(report.contains("SUMMARY PARAGRAPHS"), !invalid);
    // The full report erases the tables it used; the invalid one leaves them.
    QCOMPARE(f.session.Tables.ScaleName[1].empty(), !invalid);
    QCOMPARE(f.session.Tables.NarrativeFile[1].empty(), !invalid);
}

void ReportFileTest::failuresLeaveNoReportBehind_data() {
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("failingOp");
    QTest::addColumn<int>("errorClass");  // 0: DataFileError
    QTest::newRow("narrative file missing") << "QLMVI.TXT" << -1 << 0;
    QTest::newRow("invalid-test text missing") << "INVAL.TXT" << -1 << 0;
    QTest::newRow("write fails") << "" << int(FileOp::Write) << 57;
    QTest::newRow("flush fails") << "" << int(FileOp::Sync) << 57;
    QTest::newRow("no permission") << "" << int(FileOp::Open) << 70;
}

void ReportFileTest::failuresLeaveNoReportBehind() {
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

void ReportFileTest::pageRulesAroundTheNarratives_data() {
    QTest::addColumn<int>("violenceLines");
    QTest::addColumn<QStringList>("before");  // the lines before the responses heading
    const QString antisocial = "        antisocial text";
    const QString violence = "        violence text";
    const QString header =
        "       NAME: ROSALIND EXAMPLE           -3-                         QLM REPORT";
    const QString heading =
        "       Antisocial SCALE: LOW RISK RANGE                     RISK PERCENTILE:20";
    // Narratives end at ReportLine 19 + the Violence lines: 53 keeps the grid on the page.
    QTest::newRow("grid fits at 53") << 34 << QStringList{violence, "", heading, antisocial, ""};
    QTest::newRow("grid moves at 54") << 35 << QStringList{antisocial, "", "\f", header, ""};
    // The 43rd line makes 58: a new page, and no empty line before the next heading.
    QTest::newRow("narrative ends a page")
        << 43 << QStringList{violence, "\f", header, "", heading, antisocial, ""};
}

void ReportFileTest::pageRulesAroundTheNarratives() {
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

QTEST_GUILESS_MAIN(ReportFileTest)
#include "ReportFileTest.moc"

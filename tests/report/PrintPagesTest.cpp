#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "report/PrintPages.h"
#include "report/QtReportPrinter.h"
#include "support/TestFolder.h"

using namespace qlm;

namespace {

// A report of three pages as the writer leaves it: CR LF line ends, a form feed opening each
// later page.
std::string threePages() {
    return "PAGE ONE\r\nline two\r\n\f\r\nPAGE TWO\r\n\f\r\nPAGE THREE\r\nend\r";
}

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& pdf) {
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

}  // namespace

class PrintPagesTest : public QObject {
    Q_OBJECT

private slots:
    void pagesSplitAtFormFeeds();
    void pdfPagesMatchTheReportPages();
    void anUnwritablePdfIsAFailure_data();
    void anUnwritablePdfIsAFailure();
};

void PrintPagesTest::pagesSplitAtFormFeeds() {
    const auto pages = SplitReportPages(threePages());
    QCOMPARE(pages.size(), std::size_t(3));
    QCOMPARE(pages[0], (PrintPage{"PAGE ONE", "line two"}));
    QCOMPARE(pages[1], (PrintPage{"", "PAGE TWO"}));
    QCOMPARE(pages[2], (PrintPage{"", "PAGE THREE", "end"}));
    QCOMPARE(WidestLine(pages[2]), 10);
}

// Every line of every page on its own sheet, none clipped: a page of 80 lines and one with a
// line of 100 characters among them are set smaller to fit.
void PrintPagesTest::pdfPagesMatchTheReportPages() {
    std::string report = threePages() + "\n\f\r\n";
    for (int i = 1; i <= 80; ++i) {
        report += "LINE " + std::to_string(i) + "\r\n";
    }
    report += std::string(96, 'W') + "TAIL\r\n";
    test::TestFolder folder;
    const QString pdf = QString::fromStdString(folder.root() + "/report.pdf");
    QtReportPrinter printer;
    std::string error;
    QCOMPARE(printer.printToPdf(report, pdf.toStdString(), error), PrintOutcome::Printed);
    // It reads back as a whole PDF, owner-only; a cut one would not.
    const std::string bytes = test::TestFolder::read(pdf.toStdString());
    QCOMPARE(PdfProblem(bytes), std::string());
    QCOMPARE(PdfProblem(bytes.substr(0, bytes.size() / 2)),
             std::string("it ends before the end of a PDF file"));
    QCOMPARE(QFile::permissions(pdf) & 0x0077, QFileDevice::Permissions());
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QSKIP("pdfinfo and pdftotext (poppler-utils) are not installed");
    }
    QCOMPARE(pdfPages(pdf), 4);
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    const QStringList sheets = text.split(QLatin1Char('\f'));
    QVERIFY(sheets[1].contains(QStringLiteral("PAGE TWO")));
    for (int i = 1; i <= 80; ++i) {
        QVERIFY2(sheets[3].contains(QStringLiteral("LINE %1\n").arg(i)),
                 qPrintable(QString::number(i)));
    }
    QVERIFY(sheets[3].contains(QString(96, QLatin1Char('W')) + QStringLiteral("TAIL")));
}

void PrintPagesTest::anUnwritablePdfIsAFailure_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("folder missing") << "missing/report.pdf";
    QTest::newRow("a folder by that name") << "folder";
}

void PrintPagesTest::anUnwritablePdfIsAFailure() {
    QFETCH(QString, where);
    test::TestFolder folder;
    QDir(QString::fromStdString(folder.root())).mkdir(QStringLiteral("folder"));
    const std::string pdf = folder.root() + "/" + where.toStdString();
    QtReportPrinter printer;
    std::string error;
    QCOMPARE(printer.printToPdf(threePages(), pdf, error), PrintOutcome::Failed);
    QVERIFY2(error.find(pdf) != std::string::npos, error.c_str());
}

QTEST_MAIN(PrintPagesTest)
#include "PrintPagesTest.moc"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "report/PrintPages.h"
#include "report/QtReportPrinter.h"
#include "support/TestFolder.h"

using namespace qlm;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

// A failed PDF is the write-fault tests' own.
class PrintPagesTest : public QObject {
    Q_OBJECT

private slots:
    // Pages split at form feeds; every line of every page on its own sheet, none clipped: a
    // page of 80 lines and one with a line of 100 characters among them are set smaller to fit.
    void pdfPagesMatchTheReportPages() {
        const std::string threePages =
            "PAGE ONE\r\nline two\r\n\f\r\nPAGE TWO\r\n\f\r\nPAGE THREE\r\nend\r";
        const auto pages = SplitReportPages(threePages);
        QCOMPARE(pages,
                 (std::vector<PrintPage>{
                     {"PAGE ONE", "line two"}, {"", "PAGE TWO"}, {"", "PAGE THREE", "end"}}));
        QCOMPARE(WidestLine(pages[2]), 10);
        std::string report = threePages + "\n\f\r\n";
        for (int i = 1; i <= 80; ++i) {
            report += "LINE " + std::to_string(i) + "\r\n";
        }
        report += std::string(96, 'W') + "TAIL\r\n";
        test::TestFolder folder;
        const QString pdf = QString::fromStdString(folder.root() + "/report.pdf");
        QtReportPrinter printer;
        std::string error;
        QCOMPARE(printer.printToPdf(report, pdf.toStdString(), error), PrintOutcome::Printed);
        // It reads back as a whole PDF; a cut one would not.
        const std::string bytes = test::TestFolder::read(pdf.toStdString());
        QCOMPARE(PdfProblem(bytes), std::string());
        QCOMPARE(PdfProblem(bytes.substr(0, bytes.size() / 2)),
                 std::string("it ends before the end of a PDF file"));
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            QSKIP("pdftotext (poppler-utils) is not installed");
        }
        const QStringList sheets =
            run(QStringLiteral("pdftotext"), {"-layout", pdf, "-"}).split('\f');
        QCOMPARE(sheets.size(), 5);  // four sheets and the rest after the last
        QVERIFY(sheets[1].contains(QStringLiteral("PAGE TWO")));
        for (int i = 1; i <= 80; ++i) {
            QVERIFY2(sheets[3].contains(QStringLiteral("LINE %1\n").arg(i)),
                     qPrintable(QString::number(i)));
        }
        QVERIFY(sheets[3].contains(QString(96, 'W') + QStringLiteral("TAIL")));
    }
};

QTEST_MAIN(PrintPagesTest)
#include "PrintPagesTest.moc"

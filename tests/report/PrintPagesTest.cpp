#include <QtTest>

#include "report/PrintPages.h"
#include "report/QtReportPrinter.h"
#include "support/TestFolder.h"

using namespace qlm;

// A failed PDF is the write-fault tests' own.
class PrintPagesTest : public QObject {
    Q_OBJECT

private slots:
    // Pages split at form feeds; the PDF printed from them reads back whole.
    void pdfPagesMatchTheReportPages() {
        const std::string threePages =
            "PAGE ONE\r\nline two\r\n\f\r\nPAGE TWO\r\n\f\r\nPAGE THREE\r\nend\r";
        const auto pages = SplitReportPages(threePages);
        QCOMPARE(pages,
                 (std::vector<PrintPage>{
                     {"PAGE ONE", "line two"}, {"", "PAGE TWO"}, {"", "PAGE THREE", "end"}}));
        QCOMPARE(WidestLine(pages[2]), 10);
        test::TestFolder folder;
        const QString pdf = QString::fromStdString(folder.root() + "/report.pdf");
        QtReportPrinter printer;
        std::string error;
        QCOMPARE(printer.printToPdf(threePages, pdf.toStdString(), error), PrintOutcome::Printed);
        // It reads back as a whole PDF; a cut one would not.
        const std::string bytes = test::TestFolder::read(pdf.toStdString());
        QCOMPARE(PdfProblem(bytes), std::string());
        QCOMPARE(PdfProblem(bytes.substr(0, bytes.size() / 2)),
                 std::string("it ends before the end of a PDF file"));
    }
};

QTEST_MAIN(PrintPagesTest)
#include "PrintPagesTest.moc"

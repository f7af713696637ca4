#include <QtTest>

#include "ReportFixture.h"
#include "report/ReportWriter.h"

using namespace qlm;
using qlm::test::ReportFixture;

class ReportWriterTest : public QObject {
    Q_OBJECT

private slots:
    void atColumnPadsKeepsOrBreaks_data();
    void atColumnPadsKeepsOrBreaks();
    void numberItemsCarryTheirBlanks_data();
    void numberItemsCarryTheirBlanks();
    void pageHeaderShowsTheLastDigitOfThePage_data();
    void pageHeaderShowsTheLastDigitOfThePage();
    void footersPadThePageAndStopAtItsEnd_data();
    void footersPadThePageAndStopAtItsEnd();
};

namespace {

QByteArray bytesOf(const ReportWriter& out) {
    return QByteArray::fromStdString(out.bytes());
}

ReportWriter plainWriter(PublisherCode code = PublisherCode::Second) {
    PublisherTexts texts;
    texts.AddressLine = "ADDRESS";
    texts.RightsLine = "RIGHTS";
    texts.ReservedLine = "RESERVED";
    return ReportWriter("JO EXAMPLE", texts, code);
}

}  // namespace

void ReportWriterTest::atColumnPadsKeepsOrBreaks_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("before the column") << QByteArray("ab") << 5 << QByteArray("ab  X");
    QTest::newRow("at the column") << QByteArray("abcd") << 5 << QByteArray("abcdX");
    QTest::newRow("past the column") << QByteArray("abcdef") << 5 << QByteArray("abcdef\r\n    X");
    QTest::newRow("column 1 at a line start") << QByteArray() << 1 << QByteArray("X");
}

void ReportWriterTest::atColumnPadsKeepsOrBreaks() {
    QFETCH(QByteArray, before);
    QFETCH(int, n);
    QFETCH(QByteArray, expected);
    ReportWriter out = plainWriter();
    out.text(before.toStdString()).atColumn(n).text("X");
    QCOMPARE(bytesOf(out), expected);
    QCOMPARE(out.column(), n + 1);
}

void ReportWriterTest::numberItemsCarryTheirBlanks_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("7") << 7.0 << QByteArray(" 7 ");
    QTest::newRow("0") << 0.0 << QByteArray(" 0 ");
    QTest::newRow("-3") << -3.0 << QByteArray("-3 ");
    QTest::newRow("two digits") << 85.0 << QByteArray(" 85 ");
    QTest::newRow("no separators") << 12345.0 << QByteArray(" 12345 ");
}

void ReportWriterTest::numberItemsCarryTheirBlanks() {
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    ReportWriter out = plainWriter();
    out.text("|").number(value).text("|").endLine();
    QCOMPARE(bytesOf(out), "|" + expected + "|\r\n");
}

void ReportWriterTest::pageHeaderShowsTheLastDigitOfThePage_data() {
    QTest::addColumn<int>("pageBefore");
    QTest::addColumn<QByteArray>("mark");
    QTest::newRow("page 2") << 1 << QByteArray("-2-");
    QTest::newRow("page 10") << 9 << QByteArray("-0-");
    QTest::newRow("page 11") << 10 << QByteArray("-1-");
    QTest::newRow("page 23") << 22 << QByteArray("-3-");
}

void ReportWriterTest::pageHeaderShowsTheLastDigitOfThePage() {
    QFETCH(int, pageBefore);
    QFETCH(QByteArray, mark);
    ReportWriter out = plainWriter();
    out.ReportPage = pageBefore;
    out.ReportLine = 40;
    out.PrintPageHeader();
    // Name from column 8, page mark in columns 41 to 43, "QLM REPORT" in 69 to 78.
    const QByteArray header =
        "       NAME: JO EXAMPLE" + QByteArray(17, ' ') + mark + QByteArray(25, ' ') + "QLM REPORT";
    QCOMPARE(bytesOf(out), "\f\r\n" + header + "\r\n\r\n");
    QCOMPARE(header.indexOf("QLM REPORT") + 1, 69);
    QCOMPARE(out.ReportPage, pageBefore + 1);
    QCOMPARE(out.ReportLine, 2);
}

void ReportWriterTest::footersPadThePageAndStopAtItsEnd_data() {
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("firstPublisher");
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("lineAfter");
    const QByteArray rights = QByteArray(22, ' ') + "RIGHTS\r\n";
    const QByteArray reserved = QByteArray(33, ' ') + "RESERVED\r\n";
    QTest::newRow("notice at 55") << true << false << 55 << "\r\n" + rights + reserved << 58;
    QTest::newRow("notice at 56") << true << false << 56 << rights + reserved << 58;
    QTest::newRow("notice at 57") << true << false << 57 << rights << 58;
    QTest::newRow("notice at 58") << true << false << 58 << QByteArray() << 58;
    QTest::newRow("notice at 10") << true << false << 10
                                  << QByteArray("\r\n").repeated(46) + rights + reserved << 58;
    const QByteArray second = "       ADDRESS\r\n";
    const QByteArray first = "        ADDRESS\r\n";
    QTest::newRow("publisher at 55") << false << false << 55 << "\r\n" + second << 57;
    QTest::newRow("publisher at 56") << false << false << 56 << second << 57;
    QTest::newRow("publisher at 57") << false << false << 57 << second << 58;
    QTest::newRow("publisher at 58") << false << false << 58 << QByteArray() << 58;
    QTest::newRow("first publisher at 56") << false << true << 56 << first << 57;
}

void ReportWriterTest::footersPadThePageAndStopAtItsEnd() {
    QFETCH(bool, notice);
    QFETCH(bool, firstPublisher);
    QFETCH(int, line);
    QFETCH(QByteArray, expected);
    QFETCH(int, lineAfter);
    ReportWriter out = plainWriter(firstPublisher ? PublisherCode::First : PublisherCode::Second);
    out.ReportLine = line;
    notice ? out.PrintNoticeFooter() : out.PrintPublisherFooter();
    QCOMPARE(bytesOf(out), expected);
    QCOMPARE(out.ReportLine, lineAfter);
}

QTEST_GUILESS_MAIN(ReportWriterTest)
#include "ReportWriterTest.moc"

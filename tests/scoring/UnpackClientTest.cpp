#include <QtTest>

#include "app/Session.h"
#include "scoring/NumericValue.h"
#include "scoring/TestSpec.h"
#include "scoring/UnpackClient.h"
#include "storage/FileSystem.h"

using namespace qlm;

class UnpackClientTest : public QObject {
    Q_OBJECT

private slots:
    void numericValueTakesTheLeadingNumber_data();
    void numericValueTakesTheLeadingNumber();
    void inRangeIsInclusive();
    void testSpecHoldsTheTestsShape();
    void recordIsUnpackedTrimmed();
    void blankAnswersAreAllOmitted();
};

void UnpackClientTest::numericValueTakesTheLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "12" << 12.0;
    QTest::newRow("leading blanks") << "  3" << 3.0;
    QTest::newRow("trailing text") << "7 times" << 7.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("N/A") << "N/A" << 0.0;
    QTest::newRow("N") << "N" << 0.0;
    QTest::newRow("blanks") << "  " << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters first") << "x12" << 0.0;
}

void UnpackClientTest::numericValueTakesTheLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(NumericValue(text.toStdString()), value);
}

void UnpackClientTest::inRangeIsInclusive() {
    QCOMPARE(InRange(39, 0, 39), 1);
    QCOMPARE(InRange(0, 0, 39), 1);
    QCOMPARE(InRange(40, 0, 39), 0);
    QCOMPARE(InRange(-1, 0, 39), 0);
}

void UnpackClientTest::testSpecHoldsTheTestsShape() {
    TestSpec constants;
    SetTestSpec(constants);
    QCOMPARE(constants.SectionEnd, (std::array<int, 3>{0, 97, 109}));
    QCOMPARE(constants.SectionChoices[1], 2);
    QCOMPARE(constants.SectionChoices[2], 4);
    QCOMPARE(constants.CourtItemCount, 11);
    QCOMPARE(TestSpec::ItemCount, 109);
    QCOMPARE(TestSpec::ScaleCount, 5);
}

void UnpackClientTest::recordIsUnpackedTrimmed() {
    const FileSystem files;
    Session session(files, "/nowhere");
    session.CurrentClient = 7;
    ClientRecord& r = session.ClientTable[7];
    r.set(&ClientRecord::Name, "  LEE, SAM (DEMO)");
    r.set(&ClientRecord::Age, " 9");
    r.set(&ClientRecord::Sex, "1");
    r.set(&ClientRecord::Education, "N");
    r.set(&ClientRecord::DateScored, "07/17/2009");
    r.set(&ClientRecord::DateOfBirth, "N");
    r.set(&ClientRecord::TruancyCount, "-1");
    r.set(&ClientRecord::RunawayCount, " 3");
    r.set(&ClientRecord::ArrestCount, "n");
    r.set(&ClientRecord::ProbationCount, "N");
    r.set(&ClientRecord::Answers, "12" + std::string(50, '0') + "x5" + std::string(55, '4'));
    r.set(&ClientRecord::NameDeleted, "1");

    UnpackClient(session);
    const ScoringState& s = session.Scoring;
    QCOMPARE(s.ClientInfo[1], std::string("LEE, SAM (DEMO)"));
    QCOMPARE(s.ClientInfo[2], std::string("9"));
    QCOMPARE(s.ClientInfo[3], std::string("1"));
    QCOMPARE(s.ClientInfo[6], std::string("N"));
    QCOMPARE(s.ClientInfo[10], std::string("07/17/2009"));
    QCOMPARE(s.CourtCounts[1], std::string(""));
    QCOMPARE(s.CourtCounts[2], std::string("N/A"));
    QCOMPARE(s.CourtCounts[3], std::string("3"));
    QCOMPARE(s.CourtCounts[4], std::string("N/A"));
    QCOMPARE(s.CourtCounts[5], std::string("N/A"));
    QCOMPARE(s.ItemAnswers[1], 1);
    QCOMPARE(s.ItemAnswers[2], 2);
    QCOMPARE(s.ItemAnswers[3], 0);
    QCOMPARE(s.ItemAnswers[53], 0);
    QCOMPARE(s.ItemAnswers[54], 5);
    QCOMPARE(s.ItemAnswers[109], 4);
    QCOMPARE(int(s.NameDeletedFlag), 1);
    QCOMPARE(int(s.CurrentTestNumber), 7);
    // The record is written back left-aligned; only padding changes.
    QCOMPARE(r.Name, std::string("LEE, SAM (DEMO)          "));
    QCOMPARE(r.Age, std::string("9 "));
    QCOMPARE(r.RunawayCount, std::string("3 "));
    QCOMPARE(r.TruancyCount, std::string("-1"));
}

void UnpackClientTest::blankAnswersAreAllOmitted() {
    const FileSystem files;
    Session session(files, "/nowhere");
    session.CurrentClient = 1;
    session.Scoring.ItemAnswers.fill(3);
    session.ClientTable[1].set(&ClientRecord::DateScored, "7/4/2026");
    UnpackClient(session);
    for (int i = 1; i <= 109; ++i) {
        QCOMPARE(session.Scoring.ItemAnswers[std::size_t(i)], 0);
    }
    QCOMPARE(session.Scoring.ClientInfo[10], std::string("07/04/2026"));
}

QTEST_GUILESS_MAIN(UnpackClientTest)
#include "UnpackClientTest.moc"

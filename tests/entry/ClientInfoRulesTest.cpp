#include <QtTest>
#include <optional>
#include <string>

#include "entry/ClientInfoRules.h"

using namespace qlm;

Q_DECLARE_METATYPE(std::optional<std::string>)
Q_DECLARE_METATYPE(std::optional<int>)

// The field rules of the client information screen, without a window.
class ClientInfoRulesTest : public QObject {
    Q_OBJECT

private slots:
    void agesAndEducation_data();
    void agesAndEducation();
    void datesOfBirth_data();
    void datesOfBirth();
    void listTexts_data();
    void listTexts();
    void firstRefusedField_data();
    void firstRefusedField();
    void ageAndBirthDateDisagree_data();
    void ageAndBirthDateDisagree();
    void editLimitCountsThreeChangesOverTheRecordsLife();
    void recordRoundTripsAndNoticesChanges();
    void newClientRecordStartsUnansweredAndUnedited();
    void informationOk_data();
    void informationOk();
};

namespace {

ClientInfoContents goodContents() {
    return {"JANE DOE", "15", "2", "5", "9", "02/29/2000"};
}

}  // namespace

void ClientInfoRulesTest::agesAndEducation_data() {
    QTest::addColumn<bool>("education");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::optional<std::string>>("stored");
    const std::optional<std::string> refused;
    QTest::newRow("age 10") << false << "10" << refused;
    QTest::newRow("age 11") << false << "11" << std::optional<std::string>("11");
    QTest::newRow("age 99") << false << "99" << std::optional<std::string>("99");
    QTest::newRow("age n") << false << " n" << std::optional<std::string>("N");
    QTest::newRow("age empty") << false << "" << refused;
    QTest::newRow("age letters") << false << "1a" << refused;
    QTest::newRow("age negative") << false << "-5" << refused;
    QTest::newRow("education 0") << true << "0" << refused;
    QTest::newRow("education 1") << true << "1" << std::optional<std::string>("1");
    QTest::newRow("education 99") << true << "99 " << std::optional<std::string>("99");
    QTest::newRow("education N") << true << "N" << std::optional<std::string>("N");
    QTest::newRow("education NA") << true << "NA" << refused;
}

void ClientInfoRulesTest::agesAndEducation() {
    QFETCH(bool, education);
    QFETCH(QString, typed);
    QFETCH(std::optional<std::string>, stored);
    const std::string text = typed.toStdString();
    QCOMPARE(education ? AcceptEducation(text) : AcceptAge(text), stored);
}

void ClientInfoRulesTest::datesOfBirth_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("normalized");
    const struct {
        const char *row, *typed;
        bool accepted;
        const char* normalized;
    } rows[] = {
        {"30 February", "02/30/2000", false, "02/30/2000"},
        {"29 February, common year", "02/29/2001", false, "02/29/2001"},
        {"29 February, century not leap", "02/29/1900", false, "02/29/1900"},
        {"29 February, leap year", "02/29/2000", true, "02/29/2000"},
        {"before 1890", "01/01/1889", false, "01/01/1889"},
        {"first year", "01/01/1890", true, "01/01/1890"},
        {"after 2050", "01/01/2051", false, "01/01/2051"},
        {"last day", "12/31/2050", true, "12/31/2050"},
        {"31 April", "04/31/2000", false, "04/31/2000"},
        {"month 13", "13/01/2000", false, "13/01/2000"},
        {"day 0", "05/00/2000", false, "05/00/2000"},
        {"one-digit month and day", "1/5/2005", true, "01/05/2005"},
        {"one-digit day as the field shows it", "05/1_/2000", true, "05/01/2000"},
        {"one-digit month and day, 31 April", "4_/31/2000", false, "04/31/2000"},
        {"year unfilled", "05/10/20__", false, "05/10/20__"},
        {"three-digit day", "1/123/2005", false, "1/123/2005"},
        {"empty mask", "__/__/____", false, "__/__/____"},
        {"not available", "N_/__/____", true, "N_/__/____"},
        {"not available, small n", "n", true, "n"},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << QString(r.typed) << r.accepted << QString(r.normalized);
    }
}

void ClientInfoRulesTest::datesOfBirth() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, normalized);
    QCOMPARE(AcceptDateOfBirth(typed.toStdString()), accepted);
    QCOMPARE(QString::fromStdString(NormalizeDate(typed.toStdString())), normalized);
}

void ClientInfoRulesTest::listTexts_data() {
    QTest::addColumn<bool>("race");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<int>>("position");
    const std::optional<int> openList;
    QTest::newRow("sex 2") << false << "2" << std::optional<int>(2);
    QTest::newRow("sex m") << false << "m" << std::optional<int>(1);
    QTest::newRow("sex Female") << false << "Female" << std::optional<int>(2);
    QTest::newRow("sex N/A") << false << "N/A" << std::optional<int>(0);
    QTest::newRow("sex 3") << false << "3" << openList;
    QTest::newRow("sex empty") << false << "" << openList;
    QTest::newRow("race 5") << true << "5" << std::optional<int>(5);
    QTest::newRow("race Native American") << true << "Native American" << std::optional<int>(5);
    QTest::newRow("race Caucasian") << true << "Caucasian" << std::optional<int>(1);
    QTest::newRow("race hi") << true << "hi" << std::optional<int>(3);
    QTest::newRow("race Other") << true << "Other" << std::optional<int>(6);
    QTest::newRow("race N/A") << true << "N/A" << std::optional<int>(0);
    QTest::newRow("race 0") << true << "0" << std::optional<int>(0);
    QTest::newRow("race N opens the list") << true << "N" << openList;
    QTest::newRow("race 7") << true << "7" << openList;
}

void ClientInfoRulesTest::listTexts() {
    QFETCH(bool, race);
    QFETCH(QString, text);
    QFETCH(std::optional<int>, position);
    const std::string typed = text.toStdString();
    QCOMPARE(race ? RacePosition(typed) : SexPosition(typed), position);
}

void ClientInfoRulesTest::firstRefusedField_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("refused");
    QTest::newRow("all good") << int(NameField) << "JANE DOE" << -1;
    QTest::newRow("no name") << int(NameField) << "" << int(NameField);
    // Information OK takes any age or education a record may hold, laxer than Enter.
    QTest::newRow("age 5 past Enter") << int(AgeField) << "5" << -1;
    QTest::newRow("age 0 as stored") << int(AgeField) << "0" << -1;
    QTest::newRow("age with a letter") << int(AgeField) << "1a" << int(AgeField);
    QTest::newRow("no age") << int(AgeField) << " " << int(AgeField);
    QTest::newRow("education 0 as stored") << int(EducationField) << "0" << -1;
    QTest::newRow("no sex") << int(SexField) << "" << int(SexField);
    QTest::newRow("no race") << int(RaceField) << "" << int(RaceField);
    QTest::newRow("education 100") << int(EducationField) << "100" << int(EducationField);
    QTest::newRow("bad date") << int(DateOfBirthField) << "02/30/2000" << int(DateOfBirthField);
}

void ClientInfoRulesTest::firstRefusedField() {
    QFETCH(int, field);
    QFETCH(QString, content);
    QFETCH(int, refused);
    ClientInfoContents contents = goodContents();
    contents[static_cast<std::size_t>(field)] = content.toStdString();
    const auto first = FirstRefusedField(contents);
    QCOMPARE(first ? int(*first) : -1, refused);
}

// Today is 12/07/2026.
void ClientInfoRulesTest::ageAndBirthDateDisagree_data() {
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("birth");
    QTest::addColumn<bool>("warned");
    const struct {
        const char *row, *age, *birth;
        bool warned;
    } rows[] = {
        {"agree", "15", "03/04/2011", false},
        {"a year apart", "15", "03/04/2010", false},
        {"two years older", "15", "03/04/2009", true},
        {"two years younger", "15", "03/04/2013", true},
        {"birthday tomorrow", "13", "12/08/2011", false},
        {"birthday today", "13", "12/07/2011", true},
        {"one-digit month and day", "15", "1_/5_/2005", true},
        {"age not available", "N", "01/01/2000", false},
        {"age 0", "0", "01/01/2000", false},
        {"date not available", "15", "N_/__/____", false},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << QString(r.age) << QString(r.birth) << r.warned;
    }
}

void ClientInfoRulesTest::ageAndBirthDateDisagree() {
    QFETCH(QString, age);
    QFETCH(QString, birth);
    QFETCH(bool, warned);
    ClientInfoContents contents = goodContents();
    contents[AgeField] = age.toStdString();
    contents[DateOfBirthField] = birth.toStdString();
    QCOMPARE(AgeDisagreesWithBirthDate(contents, "12/07/2026"), warned);
}

// A record edited twice before takes one more change; the next is refused and the field's
// earlier content stands.
void ClientInfoRulesTest::editLimitCountsThreeChangesOverTheRecordsLife() {
    EditTracker tracker(goodContents(), 2);
    QCOMPARE(tracker.check(AgeField, "15"), EditTracker::Change::Same);
    QCOMPARE(tracker.check(AgeField, "16"), EditTracker::Change::Counted);
    QCOMPARE(tracker.count(), 3);
    QCOMPARE(tracker.check(AgeField, "16"), EditTracker::Change::Same);
    QCOMPARE(tracker.check(EducationField, "10"), EditTracker::Change::LimitReached);
    QCOMPARE(tracker.count(), 3);
    QCOMPARE(tracker.remembered(EducationField), std::string("9"));
    QCOMPARE(tracker.remembered(AgeField), std::string("16"));
    QCOMPARE(tracker.countAtStart(), 2);
    QVERIFY(tracker.limitReached());
}

void ClientInfoRulesTest::recordRoundTripsAndNoticesChanges() {
    ClientRecord record;
    record.set(&ClientRecord::Name, "  JANE DOE");
    record.set(&ClientRecord::Age, "15");
    record.set(&ClientRecord::Sex, "2");
    record.set(&ClientRecord::Race, "5");
    record.set(&ClientRecord::Education, "9");
    record.set(&ClientRecord::DateOfBirth, "N");
    record.set(&ClientRecord::EditCount, "1");
    record.set(&ClientRecord::Answers, std::string(109, '1'));

    ClientInfoContents contents = ContentsOfRecord(record);
    QCOMPARE(contents, (ClientInfoContents{"JANE DOE", "15", "2", "5", "9", "N_/__/____"}));
    QVERIFY(!ContentsDiffer(record, contents));

    contents[RaceField] = "1";
    QVERIFY(ContentsDiffer(record, contents));
    RecordToDB(record, contents, 2, 0);
    QVERIFY(!ContentsDiffer(record, contents));
    // Only the changed field is written; the others keep their bytes.
    QCOMPARE(record.toBytes().substr(0, 42),
             std::string("  JANE DOE               15219 N         0"));
    QCOMPARE(record.EditCount, std::string("2"));
    QCOMPARE(record.NameDeleted, std::string(" "));
    QCOMPARE(record.Answers, std::string(109, '1'));
}

void ClientInfoRulesTest::newClientRecordStartsUnansweredAndUnedited() {
    ClientRecord record = NewClientRecord("12/07/2026");
    RecordToDB(record, {"A NAME", "N", "0", "0", "N", "02/29/2000"}, 0, 0);
    QCOMPARE(record.toBytes(), std::string("A NAME                   N 00N 02/29/2000012/07/2026") +
                                   std::string(22, ' ') + std::string(109, '0') + "00");
}

void ClientInfoRulesTest::informationOk_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("clients");
    QTest::addColumn<bool>("nameDeleted");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("editsAtStart");
    QTest::addColumn<int>("outcome");
    const auto row = [](const char* tag, EntryMode mode, int clients, bool nameDeleted,
                        bool changed, int edits, ClientInfoOutcome outcome) {
        QTest::newRow(tag) << int(mode) << clients << nameDeleted << changed << edits
                           << int(outcome);
    };
    using enum ClientInfoOutcome;
    const auto New = EntryMode::NewClient;
    const auto Edit = EntryMode::Edit;
    row("new client", New, 2, false, true, 0, AddClient);
    row("first client", New, 0, false, true, 0, AddClient);
    row("new client, 50 held", New, 50, false, true, 0, AddClient);
    row("new client, table full", New, 51, false, true, 0, TableFull);
    row("scanned client, table full", EntryMode::Scanned, 51, false, true, 0, TableFull);
    row("edit changed", Edit, 2, false, true, 2, SaveChanges);
    row("edit unchanged", Edit, 2, false, false, 0, KeepAsIs);
    row("edit after the limit", Edit, 2, false, true, 3, KeepAsIs);
    row("edit, table full", Edit, 51, false, true, 0, SaveChanges);
    row("edit, name deleted", Edit, 2, true, true, 0, Leave);
    row("scanned client past the limit", EntryMode::Scanned, 2, false, true, 3, AddClient);
}

void ClientInfoRulesTest::informationOk() {
    QFETCH(int, mode);
    QFETCH(int, clients);
    QFETCH(bool, nameDeleted);
    QFETCH(bool, changed);
    QFETCH(int, editsAtStart);
    QFETCH(int, outcome);
    QCOMPARE(
        int(DecideClientInfoOk({EntryMode(mode), clients, nameDeleted, changed, editsAtStart})),
        outcome);
}

QTEST_APPLESS_MAIN(ClientInfoRulesTest)
#include "ClientInfoRulesTest.moc"

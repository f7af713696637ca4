#include <QtTest>
#include <optional>
#include <string>

#include "entry/ClientInfoRules.h"

using namespace qlm;

// The field rules of the client information screen, without a window.
class ClientInfoRulesTest : public QObject {
    Q_OBJECT

private slots:
    void fieldTexts_data();
    void fieldTexts();
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

// What Enter keeps of a field: the age, education or date of birth stored, the list entry
// chosen; "-" when it is refused, or when a list opens instead.
void ClientInfoRulesTest::fieldTexts_data() {
    QTest::addColumn<char>("field");  // Age, Education, Sex, Race, Date of birth
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const struct {
        const char* row;
        char field;
        const char *typed, *kept;
    } rows[] = {
        {"age 10", 'A', "10", "-"},
        {"age 11", 'A', "11", "11"},
        {"age 99", 'A', "99", "99"},
        {"age n", 'A', " n", "N"},
        {"age empty", 'A', "", "-"},
        {"age letters", 'A', "1a", "-"},
        {"age negative", 'A', "-5", "-"},
        {"education 0", 'E', "0", "-"},
        {"education 1", 'E', "1", "1"},
        {"education 99", 'E', "99 ", "99"},
        {"education N", 'E', "N", "N"},
        {"education NA", 'E', "NA", "-"},
        {"sex 2", 'S', "2", "2"},
        {"sex m", 'S', "m", "1"},
        {"sex Female", 'S', "Female", "2"},
        {"sex N/A", 'S', "N/A", "0"},
        {"sex 3", 'S', "3", "-"},
        {"sex empty", 'S', "", "-"},
        {"race 5", 'R', "5", "5"},
        {"race Native American", 'R', "Native American", "5"},
        {"race hi", 'R', "hi", "3"},
        {"race Other", 'R', "Other", "6"},
        {"race 0", 'R', "0", "0"},
        {"race N opens the list", 'R', "N", "-"},
        {"race 7", 'R', "7", "-"},
        {"30 February", 'D', "02/30/2000", "-"},
        {"29 February, common year", 'D', "02/29/2001", "-"},
        {"29 February, century not leap", 'D', "02/29/1900", "-"},
        {"29 February, leap year", 'D', "02/29/2000", "02/29/2000"},
        {"before 1890", 'D', "01/01/1889", "-"},
        {"first year", 'D', "01/01/1890", "01/01/1890"},
        {"after 2050", 'D', "01/01/2051", "-"},
        {"last day", 'D', "12/31/2050", "12/31/2050"},
        {"31 April", 'D', "04/31/2000", "-"},
        {"month 13", 'D', "13/01/2000", "-"},
        {"day 0", 'D', "05/00/2000", "-"},
        {"one-digit month and day", 'D', "1/5/2005", "01/05/2005"},
        {"one-digit day as the field shows it", 'D', "05/1_/2000", "05/01/2000"},
        {"one-digit month and day, 31 April", 'D', "4_/31/2000", "-"},
        {"year unfilled", 'D', "05/10/20__", "-"},
        {"three-digit day", 'D', "1/123/2005", "-"},
        {"empty mask", 'D', "__/__/____", "-"},
        {"not available", 'D', "N_/__/____", "N_/__/____"},
        {"not available, small n", 'D', "n", "n"},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << r.field << QString(r.typed) << QString(r.kept);
    }
}

void ClientInfoRulesTest::fieldTexts() {
    QFETCH(char, field);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    const std::string text = typed.toStdString();
    std::optional<std::string> result;
    if (field == 'D') {
        result = AcceptDateOfBirth(text) ? std::optional(NormalizeDate(text)) : std::nullopt;
    } else if (field == 'A' || field == 'E') {
        result = field == 'A' ? AcceptAge(text) : AcceptEducation(text);
    } else if (const auto position = field == 'S' ? SexPosition(text) : RacePosition(text)) {
        result = std::to_string(*position);
    }
    QCOMPARE(QString::fromStdString(result.value_or("-")), kept);
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
    ClientRecord record = ClientRecord::fromBytes(
        "  JANE DOE               15259 N" + std::string(42, ' ') + std::string(109, '1') + "1 ");

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

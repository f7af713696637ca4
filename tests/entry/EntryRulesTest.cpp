#include <QtTest>
#include <optional>
#include <string>

#include "entry/ClientInfoRules.h"
#include "entry/CourtHistoryRules.h"
#include "storage/ClientRecord.h"

using namespace qlm;

// The field rules of the client information and court history screens, without a window.
class EntryRulesTest : public QObject {
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void recordsRoundTrip();
};

namespace {

ClientInfoContents goodContents() {
    return {"JANE DOE", "15", "2", "5", "9", "02/29/2000"};
}

std::string flag(bool set) {
    return set ? "yes" : "-";
}

}  // namespace

// A rule, its input (a, b) and what it gives; "-" for refused, none, or not warned.
// A E S R D: what Enter keeps of age, education, sex, race (list positions), date of birth;
// F: the first field Information OK refuses when field a holds b;
// W: age a and birth date b warned of, today being 12/07/2026;
// C: a court text taken as a count (c) and as the age at first arrest (a), and what it shows;
// K: the first court field refused at saving when field a holds b;
// X: first arrest at a after the client's age b;
// O: what Information OK does in mode a (New, Edit, Scanned) with the clients held, when b holds
// "d" for a deleted name, "u" for unchanged fields, and the edits before.
void EntryRulesTest::rules_data() {
    QTest::addColumn<char>("rule");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("gives");
    const struct {
        const char* row;
        char rule;
        const char *a, *b, *gives;
    } rows[] = {
        {"age 10", 'A', "10", "", "-"},
        {"age 11", 'A', "11", "", "11"},
        {"age 99", 'A', "99", "", "99"},
        {"age n", 'A', " n", "", "N"},
        {"age letters", 'A', "1a", "", "-"},
        {"education 0", 'E', "0", "", "-"},
        {"education 1", 'E', "1", "", "1"},
        {"sex m", 'S', "m", "", "1"},
        {"sex Female", 'S', "Female", "", "2"},
        {"sex N/A", 'S', "N/A", "", "0"},
        {"sex 3", 'S', "3", "", "-"},
        {"race Native American", 'R', "Native American", "", "5"},
        {"race 0", 'R', "0", "", "0"},
        {"race N opens the list", 'R', "N", "", "-"},
        {"race 7", 'R', "7", "", "-"},
        {"30 February", 'D', "02/30/2000", "", "-"},
        {"29 February, common year", 'D', "02/29/2001", "", "-"},
        {"29 February, century not leap", 'D', "02/29/1900", "", "-"},
        {"29 February, leap year", 'D', "02/29/2000", "", "02/29/2000"},
        {"before 1890", 'D', "01/01/1889", "", "-"},
        {"first year", 'D', "01/01/1890", "", "01/01/1890"},
        {"after 2050", 'D', "01/01/2051", "", "-"},
        {"last day", 'D', "12/31/2050", "", "12/31/2050"},
        {"31 April", 'D', "04/31/2000", "", "-"},
        {"month 13", 'D', "13/01/2000", "", "-"},
        {"day 0", 'D', "05/00/2000", "", "-"},
        {"one-digit month and day", 'D', "1/5/2005", "", "01/05/2005"},
        {"one-digit day as the field shows it", 'D', "05/1_/2000", "", "05/01/2000"},
        {"year unfilled", 'D', "05/10/20__", "", "-"},
        {"three-digit day", 'D', "1/123/2005", "", "-"},
        {"date not available", 'D', "n", "", "n"},
        // Information OK takes any age or education a record may hold, laxer than Enter.
        {"all good", 'F', "0", "JANE DOE", "-"},
        {"no name", 'F', "0", "", "0"},
        {"age 5 past Enter", 'F', "1", "5", "-"},
        {"age 0 as stored", 'F', "1", "0", "-"},
        {"age with a letter", 'F', "1", "1a", "1"},
        {"no sex", 'F', "2", "", "2"},
        {"no race", 'F', "3", "", "3"},
        {"education 100", 'F', "4", "100", "4"},
        {"bad date", 'F', "5", "02/30/2000", "5"},
        {"a year apart", 'W', "15", "03/04/2010", "-"},
        {"two years older", 'W', "15", "03/04/2009", "yes"},
        {"two years younger", 'W', "15", "03/04/2013", "yes"},
        {"birthday tomorrow", 'W', "13", "12/08/2011", "-"},
        {"birthday today", 'W', "13", "12/07/2011", "yes"},
        {"one-digit birth month and day", 'W', "15", "1_/5_/2005", "yes"},
        {"age not available", 'W', "N", "01/01/2000", "-"},
        {"age 0", 'W', "0", "01/01/2000", "-"},
        {"birth date not available", 'W', "15", "N_/__/____", "-"},
        {"court n", 'C', "n", "", "ca N"},
        {"court blanks", 'C', "  ", "", "c "},
        {"court 4", 'C', "4", "", "c 4"},
        {"court 5", 'C', "5", "", "ca 5"},
        {"court 99", 'C', "99", "", "ca 99"},
        {"court point after", 'C', "1.", "", " 1."},
        {"court letter", 'C', "x", "", " X"},
        {"court nn", 'C', "nn", "", " NN"},
        {"age 3 slipped past Enter", 'K', "0", "3", "-"},
        {"letter in the age", 'K', "0", "x", "0"},
        {"empty count", 'K', "6", "", "-"},
        {"fraction in the last count", 'K', "10", "1.", "10"},
        {"arrest above the age", 'X', "16", "15", "yes"},
        {"arrest at the age", 'X', "15", "15", "-"},
        {"arrest above an age padded as stored", 'X', "12", "9 ", "yes"},
        {"arrest not available", 'X', "N", "15", "-"},
        {"client's age not available", 'X', "16", "N ", "-"},
        {"client's age 0", 'X', "16", "0 ", "-"},
        {"first client, whatever its edit count", 'O', "N0", "3", "AddClient"},
        {"new client, 50 held", 'O', "N50", "0", "AddClient"},
        {"new client, table full", 'O', "N51", "0", "TableFull"},
        {"scanned client, table full", 'O', "S51", "0", "TableFull"},
        {"edit changed", 'O', "E2", "2", "SaveChanges"},
        {"edit unchanged", 'O', "E2", "u0", "KeepAsIs"},
        {"edit after the limit", 'O', "E2", "3", "KeepAsIs"},
        {"edit, table full", 'O', "E51", "0", "SaveChanges"},
        {"edit, name deleted", 'O', "E2", "d0", "Leave"},
        {"scanned client past the limit", 'O', "S2", "3", "AddClient"},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << r.rule << QString(r.a) << QString(r.b) << QString(r.gives);
    }
}

void EntryRulesTest::rules() {
    QFETCH(char, rule);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, gives);
    const std::string text = a.toStdString();
    const std::size_t field = std::size_t(a.toInt());
    std::optional<std::string> result;
    if (rule == 'D') {
        result = AcceptDateOfBirth(text) ? std::optional(NormalizeDate(text)) : std::nullopt;
    } else if (rule == 'A' || rule == 'E') {
        result = rule == 'A' ? AcceptAge(text) : AcceptEducation(text);
    } else if (rule == 'S' || rule == 'R') {
        if (const auto position = rule == 'S' ? SexPosition(text) : RacePosition(text)) {
            result = std::to_string(*position);
        }
    } else if (rule == 'F' || rule == 'W') {
        ClientInfoContents contents = goodContents();
        contents[rule == 'F' ? field : std::size_t(AgeField)] =
            rule == 'F' ? b.toStdString() : text;
        if (rule == 'W') {
            contents[DateOfBirthField] = b.toStdString();
            result = flag(AgeDisagreesWithBirthDate(contents, "12/07/2026"));
        } else if (const auto first = FirstRefusedField(contents)) {
            result = std::to_string(int(*first));
        }
    } else if (rule == 'C') {
        const bool count = CheckCount(text, 0, 99);
        const bool age = CheckAgeAtFirstArrest(text);
        result = std::string(count ? "c" : "") + (age ? "a" : "") + " " + NormalizeCourtText(text);
    } else if (rule == 'K') {
        CourtTexts texts;
        texts.fill("N");
        texts[0] = "14";
        texts[field] = b.toStdString();
        const int refused = FirstRefusedCourtField(texts);
        result = refused < 0 ? "-" : std::to_string(refused);
    } else if (rule == 'X') {
        result = flag(FirstArrestAfterAge(text, b.toStdString()));
    } else {
        const EntryMode mode = a[0] == 'N'   ? EntryMode::NewClient
                               : a[0] == 'E' ? EntryMode::Edit
                                             : EntryMode::Scanned;
        const auto outcome = DecideClientInfoOk(
            {mode, a.mid(1).toInt(), b.contains('d'), !b.contains('u'), b.right(1).toInt()});
        result =
            std::array{"Leave", "TableFull", "KeepAsIs", "AddClient", "SaveChanges"}[int(outcome)];
    }
    QCOMPARE(QString::fromStdString(result.value_or("-")), gives);
}

void EntryRulesTest::recordsRoundTrip() {
    const std::string bytes =
        "  JANE DOE               15259 N" + std::string(42, ' ') + std::string(109, '1') + "1 ";
    ClientRecord record = ClientRecord::fromBytes(bytes);
    ClientInfoContents contents = ContentsOfRecord(record);
    QCOMPARE(contents, (ClientInfoContents{"JANE DOE", "15", "2", "5", "9", "N_/__/____"}));
    QVERIFY(!ContentsDiffer(record, contents));
    contents[RaceField] = "1";
    QVERIFY(ContentsDiffer(record, contents));
    RecordToDB(record, contents, 2, 0);
    QCOMPARE(record.toBytes(),
             std::string(bytes).replace(28, 1, "1").replace(41, 1, "0").replace(183, 1, "2"));

    ClientRecord created = NewClientRecord("12/07/2026");
    RecordToDB(created, {"A NAME", "N", "0", "0", "N", "02/29/2000"}, 0, 0);
    QCOMPARE(created.toBytes(),
             std::string("A NAME                   N 00N 02/29/2000012/07/2026") +
                 std::string(22, ' ') + std::string(109, '0') + "00");

    record.set(&ClientRecord::AgeAtFirstArrest, " 9");
    record.set(&ClientRecord::TruancyCount, "N");
    record.set(&ClientRecord::DrugArrestCount, "12");
    CourtTexts typed = GetCourtData(record);
    QCOMPARE(typed, (CourtTexts{"9", "N", "", "", "", "", "", "", "", "", "12"}));
    typed = {"9", "N", "", "3", "0", "1", "2", "4", "5", "6", "12"};
    SaveCourtData(record, typed);
    QCOMPARE(record.toBytes().substr(52, 22), std::string(" 9N   3 0 1 2 4 5 6 12"));
}

QTEST_APPLESS_MAIN(EntryRulesTest)
#include "EntryRulesTest.moc"

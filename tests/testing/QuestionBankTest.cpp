#include <QtTest>
#include <optional>

#include "TestBank.h"
#include "session/ProgramFolder.h"
#include "storage/DataFileError.h"
#include "support/TestFolder.h"
#include "testing/BankItem.h"
#include "testing/QuestionBank.h"

using namespace qlm;
using qlm::test::BankRow;
using qlm::test::TestFolder;

Q_DECLARE_METATYPE(std::vector<std::string>)

class QuestionBankTest : public QObject {
    Q_OBJECT

private slots:
    void languagesAreTheExactNamesInStoreOrder_data();
    void languagesAreTheExactNamesInStoreOrder();
    void walksTheRowsAsStored();
    void offersEachChoiceByItsOwnColumn_data();
    void offersEachChoiceByItsOwnColumn();
    void namesWhatIsMissing_data();
    void namesWhatIsMissing();
    void opensOneBankAtATime();
};

namespace {

// Each test (and each data row) gets a program folder of its own.
struct BankFolder {
    TestFolder dir;
    std::string path() const { return dir.program() + "/" + QuestionBankFileName; }
};

std::vector<int> offered(const BankItem& item) {
    std::vector<int> choices;
    for (int k = 1; k <= BankItem::MaxChoices; ++k) {
        if (item.offered(k)) {
            choices.push_back(k);
        }
    }
    return choices;
}

}  // namespace

void QuestionBankTest::languagesAreTheExactNamesInStoreOrder_data() {
    QTest::addColumn<std::vector<std::string>>("tables");
    QTest::addColumn<std::vector<std::string>>("languages");
    using V = std::vector<std::string>;
    QTest::newRow("store order, not sorted") << V{"Spanish", "English"} << V{"Spanish", "English"};
    QTest::newRow("other tables ignored")
        << V{"Notes", "English", "Versions", "Spanish"} << V{"English", "Spanish"};
    QTest::newRow("case matters") << V{"ENGLISH", "Spanish"} << V{"Spanish"};
    QTest::newRow("none") << V{"french", "spanish"} << V{};
}

void QuestionBankTest::languagesAreTheExactNamesInStoreOrder() {
    const BankFolder folder;
    QFETCH(std::vector<std::string>, tables);
    QFETCH(std::vector<std::string>, languages);
    std::vector<test::BankTable> layout;
    for (const auto& name : tables) {
        layout.emplace_back(name, std::vector<BankRow>{});
    }
    test::WriteBank(folder.path(), layout);
    const QuestionBank bank(folder.path());
    QCOMPARE(bank.tables(), tables);
    QCOMPARE(bank.languages(), languages);
}

void QuestionBankTest::walksTheRowsAsStored() {
    const BankFolder folder;
    test::WriteBank(folder.path(), {{"English", test::StandardRows()}});
    const QuestionBank bank(folder.path());
    auto records = bank.openTable("English");
    QVERIFY(!records.bof());
    for (int item = 1; item <= 109; ++item, records.next()) {
        QCOMPARE(records.number("ID"), item);
    }
    QVERIFY(records.eof());
    QVERIFY_THROWS_EXCEPTION(DataFileError, records.text("TestQuestion"));
    records.previous();
    QCOMPARE(records.number("ID"), 109);
    records.first();
    QCOMPARE(records.text("TestQuestion"), "Statement 1");
    records.previous();
    QVERIFY(records.bof());
    QVERIFY_THROWS_EXCEPTION(DataFileError, records.previous());
    records.next();
    QCOMPARE(records.number("ID"), 1);
}

void QuestionBankTest::offersEachChoiceByItsOwnColumn_data() {
    using Text = std::optional<std::string>;
    QTest::addColumn<Text>("answer3");
    QTest::addColumn<Text>("answer4");
    QTest::addColumn<Text>("answer5");
    QTest::addColumn<std::vector<int>>("choices");
    QTest::newRow("null, empty, set") << Text() << Text("") << Text("Five") << std::vector{1, 2, 5};
    QTest::newRow("all null") << Text() << Text() << Text() << std::vector{1, 2};
    QTest::newRow("five choices") << Text("3") << Text("4") << Text("5")
                                  << std::vector{1, 2, 3, 4, 5};
    QTest::newRow("a blank is a text") << Text(" ") << Text() << Text() << std::vector{1, 2, 3};
}

// Choices 3 to 5 are offered where their text is not NULL and not empty.
void QuestionBankTest::offersEachChoiceByItsOwnColumn() {
    const BankFolder folder;
    QFETCH(std::optional<std::string>, answer3);
    QFETCH(std::optional<std::string>, answer4);
    QFETCH(std::optional<std::string>, answer5);
    QFETCH(std::vector<int>, choices);
    auto rows = test::StandardRows();
    rows[97].Answer = {"One", std::nullopt, answer3, answer4, answer5};
    rows[97].QuestionAudio = "  item 98   ";  // sound names lose their blanks, not inner ones
    rows[97].ChoiceAudio = {" c1  ", "c2", "c3", "c4", "c5"};
    test::WriteBank(folder.path(), {{"Spanish", rows}});
    const QuestionBank bank(folder.path());
    auto records = bank.openTable("Spanish");
    for (int item = 1; item < 98; ++item) {
        records.next();
    }
    const BankItem item = ReadBankItem(records);
    QCOMPARE(item.ID, 98);
    QCOMPARE(item.QuestionAudioFile, "item 98.wav");
    QCOMPARE(offered(item), choices);
    QCOMPARE(*item.Answer[2], "");  // a NULL second choice shows as empty, it is still offered
    for (int k = 1; k <= 5; ++k) {
        QCOMPARE(item.ChoiceAudioFile[k],
                 item.offered(k) ? "c" + std::to_string(k) + ".wav" : std::string());
    }
}

void QuestionBankTest::namesWhatIsMissing_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* tag, QString layout, QString message) {
        QTest::newRow(tag) << layout << message;
    };
    row("no file", "none", "QLMtest.db: the question bank is missing");
    row("not a bank", "garbage", "not a readable question bank");
    row("no table", "english only", "has no table \"Spanish\"");
    row("short table", "108 rows", "table \"Spanish\" holds 108 rows; items 1 to 109");
    row("out of order", "swapped", "holds item 3 in row 2");
}

void QuestionBankTest::namesWhatIsMissing() {
    const BankFolder folder;
    QFETCH(QString, layout);
    QFETCH(QString, message);
    auto rows = test::StandardRows();
    if (layout == "garbage") {
        TestFolder::write(folder.path(), std::string(4096, 'x'));
    } else if (layout == "english only") {
        test::WriteBank(folder.path(), {{"English", rows}});
    } else if (layout == "108 rows") {
        test::WriteBank(folder.path(), {{"Spanish", test::StandardRows(108)}});
    } else if (layout == "swapped") {
        std::swap(rows[1], rows[2]);
        test::WriteBank(folder.path(), {{"Spanish", rows}});
    }
    try {
        const QuestionBank bank(folder.path());
        bank.openTable("Spanish");
        QFAIL("the bank was accepted");
    } catch (const DataFileError& e) {
        QVERIFY2(QString(e.what()).contains(message), e.what());
        QCOMPARE(e.file(), folder.path());
    }
}

void QuestionBankTest::opensOneBankAtATime() {
    const BankFolder folder;
    test::WriteBank(folder.path(), {{"English", test::StandardRows()}});
    {
        const QuestionBank first(folder.path());
        QVERIFY_THROWS_EXCEPTION(DataFileError, QuestionBank(folder.path()));
    }
    const QuestionBank again(folder.path());  // closing the first frees the slot
    QCOMPARE(again.openTable("English").rowCount(), 109u);
}

QTEST_GUILESS_MAIN(QuestionBankTest)
#include "QuestionBankTest.moc"

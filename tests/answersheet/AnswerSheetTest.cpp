#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <numeric>

#include "answersheet/AnswerGrids.h"
#include "answersheet/FrmNewEntry.h"
#include "answersheet/FrmVerify.h"
#include "answersheet/Verification.h"
#include "support/EntryProgram.h"
#include "support/Rows.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"
#include "testing/TestBank.h"

using namespace qlm;
using namespace qlm::test;

namespace {
// clang-format off

// 97 true/false answers and 12 of four choices.
std::string sheet() {
    std::string answers;
    for (int i = 1; i <= 109; ++i) answers += static_cast<char>('0' + (i <= 97 ? i % 3 : i % 5));
    return answers;
}
std::string changed(std::string s, std::size_t at, char c) {
    s[at] = c;
    return s;
}

// The second choice's text names the item's kind; which of "0"-"6", "a" and blank it takes.
struct KindRow { const char* name; int kind; const char* taken; };
const KindRow KindRows[] = {
    {"False", 0, "012"}, {"False, mostly", 0, "012"}, {"No", 1, "012"}, {"No, never", 2, "01234"},
    {"Sometimes", 3, "01234"}, {"Mostly True", 4, "012345"}, {"Often", 5, "012345"},
    {"Falso", 2, "01234"}, {"", 2, "01234"}, {"false", 2, "01234"},
};

// Compared position by position; the differing items' third entry replaces the second.
struct SecondRow { const char* name; std::string stored; std::vector<int> differing; };
const SecondRow SecondRows[] = {
    {"one differs", changed(sheet(), 39, sheet()[39] == '1' ? '2' : '1'), {40}},
    {"leading blanks", changed(changed(sheet(), 0, ' '), 1, ' '), {1, 2}},
    {"short stored text", sheet().substr(0, 100), {101, 102, 103, 104, 105, 106, 107, 108, 109}},
};

// The paper sheet's shape: 97 true/false items, 4 how-often items, 8 of five choices.
std::vector<AnswerGrid> SheetGrids() {
    std::vector<AnswerGrid> grids{{0, {}}, {3, {98, 99, 100, 101}}, {4, {}}};
    for (int i = 1; i <= 109; ++i) if (i <= 97 || i >= 102) grids[i <= 97 ? 0 : 2].items.push_back(i);
    return grids;
}

const std::string Stored = std::string(97, '1') + std::string(12, '3');

// Two clients on disk: the first has answered every item (`Stored`), the second items 1 and 99.
struct Program : EntryProgram {
    explicit Program(FaultInjector faults = {}) : EntryProgram(RecordBytes("EXAMPLE, ALEX", Stored) + RecordBytes("SAMPLE, LEE", "2" + std::string(96, ' ') + "04"), std::move(faults)) {}
};

QTableWidget* grid(QWidget& screen, int g) { return screen.findChild<QTableWidget*>(QStringLiteral("grdResponses_%1").arg(g)); }
// The focused grid and its cursor row (1 = the first item), or -1 off the grids.
std::pair<int, int> cursor(QWidget& screen) {
    for (int g = 0; grid(screen, g) != nullptr; ++g) if (Focused() == grid(screen, g)) return {g, grid(screen, g)->currentRow() + 1};
    return {-1, -1};
}
// Keys as typed; "v" is Down, "^" Up and ">" Tab.
void type(const QString& keys) {
    for (const QChar k : keys) k == 'v' ? Key(Qt::Key_Down) : k == '^' ? Key(Qt::Key_Up) : k == '>' ? Key(Qt::Key_Tab) : QTest::keyClick(Focused(), k.toLatin1());
}
MsgAnswer reply(char c) { return c == 'Y' ? MsgAnswer::Yes : c == 'N' ? MsgAnswer::No : MsgAnswer::OK; }

// `replies` Y, N or O(K) in turn; `fault` 'w' the write fails, 'g' the file is gone.
struct SaveRow { const char* name; QString keys; const char* replies; char fault; int beeps; std::string saved; std::pair<int, int> cursorAfter; std::string lastBox; };
const SaveRow SaveRows[] = {
    {"later sections passed by Tab, No", QString(97, '1') + ">>12", "N", 0, 2, "", {1, 1}, "12 items have no answer. Save anyway?"},
    {"one item skipped, No", QString(49, '1') + "v" + QString(59, '1') + ">", "N", 0, 1, "", {0, 50}, "1 item has no answer. Save anyway?"},
    {"every item answered", QString(109, '1') + ">", "", 0, 1, std::string(109, '1'), {}, ""},
    {"write fails", "12>>>", "YO", 'w', 0, "", {}, "Data Disk Error"},
    {"client file gone", "12>>>", "YOO", 'g', 0, "", {}, "Data Disk Not Found"},
};

// Cancel, or close answered Y/N ("-": untouched); `client` 1 verified, 2 edited, 3 new.
struct CancelRow { const char* name; int client; QString keys; const char* close; };
const CancelRow CancelRows[] = {
    {"new client", 3, "2121", ""},
    {"edited client, window closed", 2, "2121", "Y"},
    {"window close refused", 3, "2121", "N"},
    {"window closed untouched", 3, "", "-"},
    {"verification cancelled", 1, "2121", ""},
    {"verification closed", 1, "2121", "Y"},
    {"verification close refused", 1, "2121", "N"},
};

QString text(QWidget& screen, const char* name) {
    auto* label = qobject_cast<QLabel*>(Child(&screen, name));
    return label != nullptr ? label->text() : Child<QLineEdit>(&screen, name)->text();
}

// Items that differ are typed again and that entry saved; a failed save keeps it for Enter.
struct EntryRow { const char* name; std::string typed, corrections, box; bool diskFull; };
const EntryRow EntryRows[] = {
    {"the same answers", Stored, "", "Data Verification complete. No corrections needed.", false},
    {"two differ, typed a third time", changed(changed(Stored, 4, '2'), 99, '4'), "24", "Data Verification complete.", false},
    {"the disk full, then saved", std::string(218, '0'), "", "Data Verification complete.", true},
};

// clang-format on
}  // namespace

class AnswerSheetTest : public QObject {
    Q_OBJECT

private slots:
    void kindOfAnItem_data() { addRows(KindRows); }
    void kindOfAnItem() {
        const KindRow& r = currentRow(KindRows);
        QCOMPARE(AnswerKindOf(r.name), r.kind);
        std::string accepted;
        for (const char key : std::string("0123456a ")) {
            if (KindAcceptsDigit(r.kind, key)) {
                accepted += key;
            }
        }
        QCOMPARE(accepted, r.taken);
    }

    // One grid per kind, in the order the kinds first occur; an item joins its kind's grid
    // wherever it stands in the bank.
    void gridsFollowTheBank() {
        TestFolder folder;
        const std::string bank = folder.root() + "/bank.db";
        std::vector<BankRow> rows = StandardRows();
        rows[98 - 1].Answer[1] = "No";
        rows[99 - 1].Answer[1] = "Sometimes";
        rows[100 - 1].Answer[1] = "False";
        rows[101 - 1].Answer[1] = "No";
        WriteBank(bank, {{"Spanish", StandardRows()}, {"English", rows}});
        std::vector<std::pair<int, std::vector<int>>> found;
        for (const AnswerGrid& grid : ReadAnswerGrids(bank)) {
            found.emplace_back(grid.kind, grid.items);
        }
        std::vector<int> trueFalse(97);
        std::iota(trueFalse.begin(), trueFalse.end(), 1);
        trueFalse.push_back(100);
        QVERIFY(found == (std::vector<std::pair<int, std::vector<int>>>{
                             {0, trueFalse},
                             {1, {98, 101}},
                             {3, {99}},
                             {2, {102, 103, 104, 105, 106, 107, 108, 109}}}));
        // A short stored text reads as unanswered items; "0" and a blank mark no column.
        QCOMPARE(JoinGridAnswers(GridAnswersOf("3")), "3" + std::string(108, ' '));
        QCOMPARE(MarkedColumn('0'), 0);
        QCOMPARE(MarkedColumn(' '), 0);
    }

    void secondEntryAgainstTheStoredAnswers_data() { addRows(SecondRows); }
    void secondEntryAgainstTheStoredAnswers() {
        const SecondRow& r = currentRow(SecondRows);
        Verification v(r.stored, 97);
        VerifyStep end = VerifyStep::Refused;
        for (const char d : sheet()) {
            end = v.type(d);
        }
        QCOMPARE(end,
                 r.differing.empty() ? VerifyStep::NoCorrections : VerifyStep::CorrectionsNeeded);
        QCOMPARE(v.QuestionCount(), r.differing.empty() ? 109 : int(r.differing.size()));
        std::string expected = sheet();
        for (std::size_t i = 0; i < r.differing.size(); ++i) {
            QCOMPARE(v.Position(), int(i + 1));
            QCOMPARE(v.currentItem(), r.differing[i]);
            expected[static_cast<std::size_t>(r.differing[i] - 1)] = '0';
            QCOMPARE(v.type('0'),
                     i + 1 < r.differing.size() ? VerifyStep::Next : VerifyStep::Complete);
        }
        QCOMPARE(v.EntryString(), expected);
    }

    // Section 1 takes 0 to 2, section 2 0 to 4.
    void rangesOfTheTwoSections() {
        Verification v(sheet(), 97);
        const std::tuple<int, char, bool> keys[] = {
            {97, '3', false}, {97, '2', true}, {98, '4', true}, {98, '5', false}};
        for (const auto& [item, key, taken] : keys) {
            QCOMPARE(v.accepts(item, key), taken);
        }
    }

    // Each accepted digit marks the item and moves on; other keys, the page keys and the ends
    // beep. Up and Down cross between grids; Escape does not leave.
    void keysMarksAndMoves() {
        Program program;
        program.newClient();
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
        RunModal(screen, [&] {
            for (const Qt::Key key :
                 {Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_PageUp,
                  Qt::Key_PageDown, Qt::Key_End, Qt::Key_Return}) {
                Key(key);
            }
            QCOMPARE(grid(screen, 0)->currentColumn(), 0);
            type("13a20");
            QCOMPARE(program.fake.messages.beeps, 8);
            QCOMPARE(grid(screen, 0)->item(0, 1)->text(), QStringLiteral("X"));
            type(">^");
            QCOMPARE(cursor(screen), std::make_pair(0, 97));
            type("2");
            QCOMPARE(cursor(screen), std::make_pair(1, 1));
            type("vvvv");
            QCOMPARE(cursor(screen), std::make_pair(2, 1));
            type("vvvvvvv5v");
            QCOMPARE(program.fake.messages.beeps, 10);
            QCOMPARE(cursor(screen), std::make_pair(2, 8));
            Key(Qt::Key_Escape);
            QVERIFY(screen.isVisible());
        });
        QCOMPARE(JoinGridAnswers(screen.gridAnswers()).substr(0, 3), std::string("120"));
        QCOMPARE(screen.gridAnswers()[97], '2');
        QCOMPARE(screen.gridAnswers()[109], '5');
    }

    void save_data() { addRows(SaveRows); }
    void save() {
        const SaveRow& r = currentRow(SaveRows);
        Program program(r.fault == 'w' ? FailOn(FileOp::Write, "DATA401.QLM", EIO)
                                       : FaultInjector{});
        program.newClient();
        for (const char* c = r.replies; *c != 0; ++c) {
            program.fake.messages.answer(reply(*c));
        }
        if (r.fault == 'g') {
            std::filesystem::remove(program.folder.clientFile());
        }
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
        const int result = RunModal(screen, [&] {
            type(r.keys);
            QCOMPARE(Focused(), Choice(screen, 0));
            Key(Qt::Key_Return);
            if (r.cursorAfter.first != 0 || r.cursorAfter.second != 0) {
                QCOMPARE(cursor(screen), r.cursorAfter);
            }
        });
        QCOMPARE(program.fake.messages.beeps, r.beeps);
        QCOMPARE(program.fake.messages.shown.empty(), *r.replies == 0);
        if (*r.replies != 0) {
            const Message& last = program.fake.messages.shown.back();
            QCOMPARE(r.fault != 0 ? last.title : last.text, r.lastBox);
        }
        if (r.saved.empty()) {
            QCOMPARE(result, StillOpen);
            QCOMPARE(screen.gridAnswers()[2], r.keys[1].toLatin1());
            QCOMPARE(program.session.Clients.entry(3).Answers, std::string(109, ' '));
            QCOMPARE(program.session.Clients.NumberOfClients(), 2);
            QCOMPARE(std::filesystem::exists(program.folder.clientFile()), r.fault != 'g');
            if (r.fault != 'g') {
                QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
            }
            return;
        }
        QCOMPARE(result, int(QDialog::Accepted));
        const std::string record =
            TestFolder::read(program.folder.clientFile()).substr(2 * 185, 185);
        QCOMPARE(record.substr(74, 109), r.saved);
        QVERIFY(record.starts_with("NEWCOMER, KIM"));
        QCOMPARE(program.session.Clients.NumberOfClients(), 3);
    }

    // Nothing is written; a new client is dropped and client 1 is current, an edited one is as
    // the file holds it, its court history changed on the screen before included.
    void cancel_data() { addRows(CancelRows); }
    void cancel() {
        const CancelRow& r = currentRow(CancelRows);
        const bool asked = *r.close == 'Y' || *r.close == 'N';
        Program program;
        r.client == 3 ? program.newClient() : program.editClient(r.client);
        program.session.Clients.entry(2).set(&ClientRecord::ArrestCount, "9");
        if (asked) {
            program.fake.messages.answer(reply(*r.close));
        }
        std::unique_ptr<QDialog> screen;
        if (r.client == 1) {
            screen = std::make_unique<FrmVerify>(program.session, program.fake.services);
        } else {
            screen =
                std::make_unique<FrmNewEntry>(program.session, program.fake.services, SheetGrids());
        }
        const int result = RunModal(*screen, [&] {
            type(r.keys);
            if (*r.close != 0) {
                screen->close();
            }
            if (screen->isVisible()) {
                type(r.client == 1 ? ">" : ">>>>");
                QCOMPARE(FocusName(), QString(r.client == 1 ? "cmdCancel" : "cmdMenuChoice_1"));
                Key(Qt::Key_Return);
            }
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(asked ? 1 : 0));
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        QCOMPARE(program.session.Clients.NumberOfClients(), 2);
        QCOMPARE(program.session.CurrentClient, r.client == 3 ? 1 : r.client);
        QCOMPARE(program.session.Clients.entry(r.client).toBytes(),
                 r.client == 3 ? ClientRecord().toBytes()
                               : program.onDisk.substr(std::size_t(r.client - 1) * 185, 185));
    }

    // An unreadable bank is said and the new client dropped; answers that came short from the
    // scanner are shown filled with "no answer", and said.
    void opening() {
        Program program;
        program.newClient();
        program.session.QuestionBankPath = program.folder.program() + "/missing.db";
        program.fake.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK);
        QVERIFY(
            !ShowNewEntry(program.session, program.fake.services, EntryMode::NewClient, nullptr));
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Question Bank Error"));
        QCOMPARE(program.session.CurrentClient, 1);
        QCOMPARE(program.session.Clients.entry(3).toBytes(), ClientRecord().toBytes());
        program.newClient();
        program.session.Clients.entry(3).Answers = "21";
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids(),
                           EntryMode::Scanned);
        RunModal(screen, [] {});
        QCOMPARE(program.fake.messages.shown[1].title, std::string("Scanned Answers Warning"));
        QCOMPARE(JoinGridAnswers(screen.gridAnswers()), "21" + std::string(107, '0'));
    }

    // Keys that are no answer beep; Backspace steps back, and to the first item empties the
    // previous question; Escape does not leave.
    void keysOfTheEntry() {
        Program program;
        program.editClient(1);
        FrmVerify screen(program.session, program.fake.services);
        RunModal(screen, [&] {
            QCOMPARE(FocusName(), QStringLiteral("txtCurQuestion"));
            for (const Qt::Key k :
                 {Qt::Key_Backspace, Qt::Key_9, Qt::Key_Left, Qt::Key_Down, Qt::Key_F5}) {
                Key(k);
            }
            QCOMPARE(program.fake.messages.beeps, 5);
            Type("22");
            QCOMPARE(text(screen, "txtPrevQuestion"), QStringLiteral("2"));
            Key(Qt::Key_Backspace);
            QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #2"));
            QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #1"));
            Key(Qt::Key_Backspace);
            QCOMPARE(text(screen, "txtPrevQuestion"), QString());
            Key(Qt::Key_Escape);
            QVERIFY(screen.isVisible());
        });
    }

    void entry_data() { addRows(EntryRows); }
    void entry() {
        const EntryRow& r = currentRow(EntryRows);
        auto diskFull = std::make_shared<bool>(r.diskFull);
        Program program(
            [diskFull, fail = FailOn(FileOp::Write, "DATA401.QLM", ENOSPC)](
                FileOp op, const std::string& path) { return *diskFull ? fail(op, path) : 0; });
        program.editClient(1);
        program.fake.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK).answer(MsgAnswer::OK);
        FrmVerify screen(program.session, program.fake.services);
        const int result = RunModal(screen, [&] {
            Type(QString::fromStdString(r.typed));
            if (!r.corrections.empty()) {
                QCOMPARE(program.fake.messages.shown[0].title, std::string("Data Corrections"));
                QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #5"));
                Type("2");
                QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #100"));
                QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #5"));
                Type("4");
            }
            if (r.diskFull) {
                QCOMPARE(program.fake.messages.shown[1].title, std::string("Data Disk Error"));
                QCOMPARE(program.session.Clients.entry(1).Answers, Stored);
                QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
                Type("1");
                QCOMPARE(program.fake.messages.beeps, 1);
                *diskFull = false;
                Key(Qt::Key_Return);
            }
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(program.fake.messages.shown.back().text, r.box);
        QCOMPARE(TestFolder::read(program.folder.clientFile()).substr(74, 109),
                 r.typed.substr(0, 109));
    }
};

QTEST_MAIN(AnswerSheetTest)
#include "AnswerSheetTest.moc"

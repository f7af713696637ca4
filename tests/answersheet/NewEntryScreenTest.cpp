#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "answersheet/FrmNewEntry.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "ui/ScreenOps.h"

using namespace qlm;
using namespace qlm::test;

namespace {

// The paper sheet's shape: 97 true/false items, four how-often items and eight of five
// choices.
std::vector<AnswerGrid> SheetGrids() {
    AnswerGrid trueFalse{0, {}};
    for (int i = 1; i <= 97; ++i) {
        trueFalse.items.push_back(i);
    }
    AnswerGrid fiveChoices{4, {}};
    for (int i = 102; i <= 109; ++i) {
        fiveChoices.items.push_back(i);
    }
    return {trueFalse, {3, {98, 99, 100, 101}}, fiveChoices};
}

// Two clients on disk; the second has answered items 1 and 99.
struct Program : EntryProgram {
    explicit Program(FaultInjector faults = {})
        : EntryProgram(RecordBytes("EXAMPLE, ALEX") +
                           RecordBytes("SAMPLE, LEE", "2" + std::string(96, ' ') + "04"),
                       std::move(faults)) {}
    std::string record(int n) const {
        return TestFolder::read(folder.clientFile()).substr(std::size_t(n - 1) * 185, 185);
    }
};

QTableWidget* grid(QWidget& screen, int g) {
    return screen.findChild<QTableWidget*>(QStringLiteral("grdResponses_%1").arg(g));
}
// The focused grid and its cursor row (1 = the first item), or -1 off the grids.
std::pair<int, int> cursor(QWidget& screen) {
    for (int g = 0; grid(screen, g) != nullptr; ++g) {
        if (Focused() == grid(screen, g)) {
            return {g, grid(screen, g)->currentRow() + 1};
        }
    }
    return {-1, -1};
}
// Keys as typed; "v" is Down, "^" Up and ">" Tab.
void type(const QString& keys) {
    for (const QChar k : keys) {
        k == 'v'   ? Key(Qt::Key_Down)
        : k == '^' ? Key(Qt::Key_Up)
        : k == '>' ? Key(Qt::Key_Tab)
                   : QTest::keyClick(Focused(), k.toLatin1());
    }
}
QColor background(QTableWidget* g, int row, int column) {
    return g->item(row - 1, column)->background().color();
}

// How the screen is left without saving.
enum Leave { CancelChoice, CloseAnsweredYes, CloseAnsweredNoThenCancel };

}  // namespace

class NewEntryScreenTest : public QObject {
    Q_OBJECT

private slots:
    // Each accepted digit marks the item and moves on; other keys, the page keys and the ends
    // beep. The cursor row is light blue, and stays so in a grid left by Tab but not in one
    // left by its last answer; Up and Down cross between grids; Escape does not leave.
    void keysMarksAndMoves() {
        Program program;
        program.newClient();
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
        RunModal(screen, [&] {
            QTableWidget* trueFalse = grid(screen, 0);
            for (const Qt::Key key :
                 {Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_PageUp,
                  Qt::Key_PageDown, Qt::Key_End, Qt::Key_Return}) {
                Key(key);
            }
            QCOMPARE(grid(screen, 0)->currentColumn(), 0);
            type("1");
            QCOMPARE(trueFalse->item(0, 1)->text(), QStringLiteral("X"));
            QCOMPARE(background(trueFalse, 1, 1), FromBGR(0x00FF00));
            QCOMPARE(background(trueFalse, 1, 2), FromBGR(0xFFFFFF));
            QCOMPARE(trueFalse->item(0, 2)->foreground().color(), FromBGR(0x800000));
            QCOMPARE(background(trueFalse, 2, 2), FromBGR(0xFFFF00));
            type("3a20");
            QCOMPARE(program.fake.messages.beeps, 8);
            QCOMPARE(trueFalse->item(2, 1)->text(), QString());
            type(">");
            QCOMPARE(cursor(screen), std::make_pair(1, 1));
            QCOMPARE(background(trueFalse, 4, 1), FromBGR(0xFFFF00));
            QVERIFY(MsgPanel(screen).startsWith(QStringLiteral("0=No answer, 1=Rare/Never")));
            type("^");
            QCOMPARE(cursor(screen), std::make_pair(0, 97));
            type("2");
            QCOMPARE(cursor(screen), std::make_pair(1, 1));
            QCOMPARE(background(trueFalse, 97, 1), FromBGR(0xFFFFFF));
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

    void save_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("row");
        const QString section1(97, '1');
        // After item 97 the cursor is in section 2 already; digits on Save beep.
        QTest::newRow("later sections passed by Tab, No")
            << false << section1 + ">>12"
            << "12 items have no answer. Save anyway?" << false << 2 << QString() << 1 << 1;
        QTest::newRow("later sections passed by Tab, Yes")
            << false << section1 + ">>"
            << "12 items have no answer. Save anyway?" << true << 0 << section1 + QString(12, ' ')
            << 0 << 0;
        QTest::newRow("one item skipped, No")
            << false << QString(49, '1') + "v" + QString(59, '1') + ">"
            << "1 item has no answer. Save anyway?" << false << 1 << QString() << 0 << 50;
        QTest::newRow("every item answered") << false << QString(109, '1') + ">"
                                             << "" << true << 1 << QString(109, '1') << 0 << 0;
        // The stored answers show as marks and the record is rewritten in its place.
        QTest::newRow("an edited client")
            << true << "1>>>"
            << "107 items have no answer. Save anyway?" << true << 0
            << "1" + QString(96, ' ') + "04" + QString(10, ' ') << 0 << 0;
    }
    // Save with items left unanswered asks first; No puts the cursor on the first of them.
    void save() {
        QFETCH(bool, editing);
        QFETCH(QString, keys);
        QFETCH(QString, question);
        QFETCH(bool, yes);
        QFETCH(int, beeps);
        QFETCH(QString, saved);
        QFETCH(int, grid);
        QFETCH(int, row);
        Program program;
        editing ? program.editClient(2) : program.newClient();
        if (!question.isEmpty()) {
            program.fake.messages.answer(yes ? MsgAnswer::Yes : MsgAnswer::No);
        }
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
        const int result = RunModal(screen, [&] {
            if (editing) {
                QCOMPARE(::grid(screen, 1)->item(1, 4)->text(), QStringLiteral("X"));
            }
            type(keys);
            QCOMPARE(Focused(), Choice(screen, 0));
            Key(Qt::Key_Return);
            if (!yes) {
                QCOMPARE(cursor(screen), std::make_pair(grid, row));
            }
        });
        QCOMPARE(program.fake.messages.beeps, beeps);
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(question.isEmpty() ? 0 : 1));
        if (!question.isEmpty()) {
            QCOMPARE(program.fake.messages.shown[0],
                     (Message{question.toStdString(), "Unanswered Items", MsgIcon::Question,
                              MsgButtons::YesNoDefaultNo}));
        }
        if (!yes) {
            QCOMPARE(result, StillOpen);
            QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
            return;
        }
        QCOMPARE(result, int(QDialog::Accepted));
        const int n = editing ? 2 : 3;
        QCOMPARE(program.record(n).substr(74, 109), saved.toStdString());
        QVERIFY(program.record(n).starts_with(editing ? "SAMPLE, LEE" : "NEWCOMER, KIM"));
        QCOMPARE(program.session.Clients.NumberOfClients(), n);
    }

    void cancel_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("leave");
        QTest::newRow("new client") << false << "2121" << int(CancelChoice);
        QTest::newRow("edited client") << true << "2121" << int(CancelChoice);
        QTest::newRow("edited client, window closed") << true << "2121" << int(CloseAnsweredYes);
        QTest::newRow("window close refused") << false << "2121" << int(CloseAnsweredNoThenCancel);
        // Nothing typed: the window's close is Cancel, without a question.
        QTest::newRow("window closed untouched") << false << "" << int(CancelChoice);
    }
    // Nothing is written; a new client is dropped and client 1 is current, an edited one is as
    // the file holds it, its court history changed on the screen before included.
    void cancel() {
        QFETCH(bool, editing);
        QFETCH(QString, keys);
        QFETCH(int, leave);
        Program program;
        if (editing) {
            program.editClient(2);
            program.session.Clients.entry(2).set(&ClientRecord::ArrestCount, "9");
        } else {
            program.newClient();
        }
        if (leave != CancelChoice) {
            program.fake.messages.answer(leave == CloseAnsweredYes ? MsgAnswer::Yes
                                                                   : MsgAnswer::No);
        }
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
        const int result = RunModal(screen, [&] {
            type(keys);
            if (leave != CancelChoice || keys.isEmpty()) {
                screen.close();
            }
            if (leave != CloseAnsweredYes && screen.isVisible()) {
                QCOMPARE(cursor(screen), std::make_pair(0, 5));
                type(">>>>");
                QCOMPARE(Focused(), Choice(screen, 1));
                Key(Qt::Key_Return);
            }
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(leave != CancelChoice ? 1 : 0));
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        QCOMPARE(program.session.Clients.NumberOfClients(), 2);
        QCOMPARE(program.session.CurrentClient, editing ? 2 : 1);
        QCOMPARE(program.session.Clients.entry(editing ? 2 : 3).toBytes(),
                 editing ? program.onDisk.substr(185) : ClientRecord().toBytes());
    }

    void failedSaveKeepsTheAnswers_data() {
        QTest::addColumn<bool>("diskFails");
        QTest::addColumn<QString>("title");
        QTest::newRow("write fails") << true << "Data Disk Error";
        QTest::newRow("client file gone") << false << "Data Disk Not Found";
    }
    // A save that did not reach the disk says so, stores nothing, and keeps the typed answers
    // on the screen for another try.
    void failedSaveKeepsTheAnswers() {
        QFETCH(bool, diskFails);
        QFETCH(QString, title);
        Program program(diskFails ? FailOn(FileOp::Write, "DATA401.QLM", EIO) : FaultInjector{});
        program.newClient();
        program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
        if (!diskFails) {
            std::filesystem::remove(program.folder.clientFile());
            program.fake.messages.answer(MsgAnswer::OK);
        }
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
        const int result = RunModal(screen, [&] {
            type("12");
            Choice(screen, 0)->click();
            QVERIFY(Choice(screen, 0)->isEnabled());
        });
        QCOMPARE(result, StillOpen);
        QCOMPARE(QString::fromStdString(program.fake.messages.shown.back().title), title);
        QCOMPARE(screen.gridAnswers()[2], '2');
        QCOMPARE(program.session.Clients.NumberOfClients(), 2);
        QCOMPARE(program.session.Clients.entry(3).Answers, std::string(109, ' '));
        QCOMPARE(std::filesystem::exists(program.folder.clientFile()), diskFails);
        if (diskFails) {
            QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        }
    }

    void anUnreadableBankIsSaid() {
        Program program;
        program.newClient();
        program.session.QuestionBankPath = program.folder.program() + "/missing.db";
        program.fake.messages.answer(MsgAnswer::OK);
        QVERIFY(
            !ShowNewEntry(program.session, program.fake.services, EntryMode::NewClient, nullptr));
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Question Bank Error"));
        QVERIFY(program.fake.messages.shown[0].text.find("missing.db") != std::string::npos);
        QCOMPARE(program.session.CurrentClient, 1);
        QCOMPARE(program.session.Clients.entry(3).toBytes(), ClientRecord().toBytes());
    }

    // Answers that came short from the scanner are shown filled with "no answer", and said.
    void scannedAnswersThatCameShort() {
        Program program;
        program.newClient();
        program.session.Clients.entry(3).Answers = "21";
        program.fake.messages.answer(MsgAnswer::OK);
        FrmNewEntry screen(program.session, program.fake.services, SheetGrids(),
                           EntryMode::Scanned);
        RunModal(screen,
                 [&] { QCOMPARE(grid(screen, 0)->item(1, 1)->text(), QStringLiteral("X")); });
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Scanned Answers Warning"));
        QCOMPARE(JoinGridAnswers(screen.gridAnswers()), "21" + std::string(107, '0'));
    }
};

QTEST_MAIN(NewEntryScreenTest)
#include "NewEntryScreenTest.moc"

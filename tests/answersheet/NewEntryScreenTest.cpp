#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "answersheet/FrmNewEntry.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"
#include "ui/ScreenOps.h"

using namespace qlm;
using qlm::test::Choice;
using qlm::test::MsgPanel;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

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

// A data location of two clients; the second has answered items 1 and 99.
struct Program : test::EntryProgram {
    explicit Program(FaultInjector faults = {})
        : EntryProgram(test::RecordBytes("EXAMPLE, ALEX") +
                           test::RecordBytes("SAMPLE, LEE", "2" + std::string(96, ' ') + "04"),
                       std::move(faults)) {}
    void editClient() { EntryProgram::editClient(2); }
    std::string answersOnDisk(int n) const {
        return TestFolder::read(folder.clientFile())
            .substr(static_cast<std::size_t>(n - 1) * 185 + 74, 109);
    }
};

QTableWidget* grid(QWidget& screen, int g) {
    return screen.findChild<QTableWidget*>(QStringLiteral("grdResponses_%1").arg(g));
}
// The focused grid and its cursor row (1 = the first item), or -1 off the grids.
std::pair<int, int> cursor(QWidget& screen) {
    for (int g = 0; grid(screen, g) != nullptr; ++g) {
        if (QApplication::focusWidget() == grid(screen, g)) {
            return {g, grid(screen, g)->currentRow() + 1};
        }
    }
    return {-1, -1};
}
// Digits as typed; "v" is Down and ">" is Tab.
void type(const QString& keys) {
    for (const QChar k : keys) {
        QWidget* at = QApplication::focusWidget();
        k == 'v'   ? QTest::keyClick(at, Qt::Key_Down)
        : k == '>' ? QTest::keyClick(at, Qt::Key_Tab)
                   : QTest::keyClick(at, k.toLatin1());
    }
}
void press(Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
}
QColor background(QTableWidget* g, int row, int column) {
    return g->item(row - 1, column)->background().color();
}

}  // namespace

class NewEntryScreenTest : public QObject {
    Q_OBJECT

private slots:
    void gridsAsTheBankShapesThem();
    void digitsRecordAnswersAndMoveOn();
    void movingBetweenRowsAndGrids();
    void storedAnswersShowAsMarks();
    void unansweredItemsAskFirst_data();
    void unansweredItemsAskFirst();
    void cancel_data();
    void cancel();
    void failedSaveKeepsTheAnswers_data();
    void failedSaveKeepsTheAnswers();
    void anUnreadableBankIsSaid();
    void scannedAnswersThatCameShort();
};

void NewEntryScreenTest::gridsAsTheBankShapesThem() {
    Program program;
    program.newClient();
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    QCOMPARE(screen.objectName(), QStringLiteral("frmNewEntry"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Edit Client Responses"));
    QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("lblClientName"))->text(),
             QStringLiteral("NEWCOMER, KIM            "));
    const struct {
        int rows;
        QStringList headings;
        const char* first;
        const char* last;
    } grids[] = {{97, {"Num", "1", "2"}, "1.", "97."},
                 {4, {"Num", "1", "2", "3", "4"}, "98.", "101."},
                 {8, {"Num", "1", "2", "3", "4", "5"}, "102.", "109."}};
    for (int g = 0; g < 3; ++g) {
        QTableWidget* table = grid(screen, g);
        QVERIFY(table != nullptr);
        QCOMPARE(table->rowCount(), grids[g].rows);
        QStringList headings;
        for (int c = 0; c < table->columnCount(); ++c) {
            headings << table->horizontalHeaderItem(c)->text();
        }
        QCOMPARE(headings, grids[g].headings);
        QCOMPARE(table->item(0, 0)->text(), QString::fromLatin1(grids[g].first));
        QCOMPARE(table->item(table->rowCount() - 1, 0)->text(), QString::fromLatin1(grids[g].last));
        QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("lblSection_%1").arg(g))->text(),
                 QStringLiteral("Section %1").arg(g + 1));
    }
    QVERIFY(grid(screen, 3) == nullptr);
    QCOMPARE(Choice(screen, 0)->text(), QStringLiteral("Save"));
    QCOMPARE(Choice(screen, 1)->text(), QStringLiteral("Cancel"));
    QVERIFY(Choice(screen, 2) == nullptr);
}

// A new client's answers typed from the sheet: each accepted digit records the item and moves
// on, keys the grid does not offer beep; Save writes the client as the third record.
void NewEntryScreenTest::digitsRecordAnswersAndMoveOn() {
    Program program;
    program.newClient();
    program.fake.messages.answer(MsgAnswer::Yes);
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    const int result = RunModal(screen, [&] {
        QTableWidget* trueFalse = grid(screen, 0);
        QCOMPARE(cursor(screen), std::make_pair(0, 1));
        QCOMPARE(MsgPanel(screen), QStringLiteral("0=No answer, 1=True, 2=False, Tab=Next grid"));
        type("1");
        QCOMPARE(trueFalse->item(0, 1)->text(), QStringLiteral("X"));
        QCOMPARE(background(trueFalse, 1, 1), FromBGR(0x00FF00));
        QCOMPARE(background(trueFalse, 1, 2), FromBGR(0xFFFFFF));
        QCOMPARE(trueFalse->item(0, 2)->foreground().color(), FromBGR(0x800000));
        QCOMPARE(background(trueFalse, 2, 1), FromBGR(0xFFFF00));
        QCOMPARE(background(trueFalse, 2, 2), FromBGR(0xFFFF00));
        const int beeps = program.fake.messages.beeps;
        type("3a");
        press(Qt::Key_Return);
        QCOMPARE(program.fake.messages.beeps, beeps + 3);
        QCOMPARE(cursor(screen), std::make_pair(0, 2));
        type("20");
        QCOMPARE(trueFalse->item(2, 1)->text(), QString());
        QCOMPARE(trueFalse->item(2, 2)->text(), QString());
        press(Qt::Key_Tab);
        QCOMPARE(cursor(screen), std::make_pair(1, 1));
        // The grid left keeps its cursor row marked.
        QCOMPARE(background(trueFalse, 4, 1), FromBGR(0xFFFF00));
        QCOMPARE(MsgPanel(screen),
                 QStringLiteral("0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, "
                                "Tab=Next grid"));
        type("45");
        QCOMPARE(cursor(screen), std::make_pair(1, 2));
        press(Qt::Key_Tab);
        type("5");
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 0));
        QCOMPARE(MsgPanel(screen),
                 QStringLiteral("SAVE data, close this window and return to Main Menu"));
        QTest::keyClick(Choice(screen, 0), Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    const std::string answers =
        "120" + std::string(94, ' ') + "4" + std::string(3, ' ') + "5" + std::string(7, ' ');
    QCOMPARE(program.answersOnDisk(3), answers);
    const std::string file = TestFolder::read(program.folder.clientFile());
    QCOMPARE(file.size(), std::size_t(3 * 185));
    QCOMPARE(file.substr(0, 370), program.onDisk);
    QCOMPARE(file.substr(370, 13), std::string("NEWCOMER, KIM"));
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(3));
    QCOMPARE(program.fake.messages.shown,
             (std::vector<Message>{{"105 items have no answer. Save anyway?", "Unanswered Items",
                                    MsgIcon::Question, MsgButtons::YesNoDefaultNo}}));
}

// Down and Up walk the rows and cross between grids; the first and last items, and the page
// keys, beep.
void NewEntryScreenTest::movingBetweenRowsAndGrids() {
    Program program;
    program.newClient();
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    RunModal(screen, [&] {
        int beeps = program.fake.messages.beeps;
        press(Qt::Key_Up);
        QCOMPARE(program.fake.messages.beeps, ++beeps);
        QCOMPARE(cursor(screen), std::make_pair(0, 1));
        press(Qt::Key_Left);
        press(Qt::Key_Right);
        QCOMPARE(grid(screen, 0)->currentColumn(), 0);
        for (const Qt::Key page : {Qt::Key_Home, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End}) {
            press(page);
        }
        beeps += 4;
        QCOMPARE(program.fake.messages.beeps, beeps);
        QCOMPARE(cursor(screen), std::make_pair(0, 1));
        press(Qt::Key_Down, 96);
        QCOMPARE(cursor(screen), std::make_pair(0, 97));
        type("2");
        QCOMPARE(cursor(screen), std::make_pair(1, 1));
        QCOMPARE(grid(screen, 0)->item(96, 2)->text(), QStringLiteral("X"));
        QCOMPARE(background(grid(screen, 0), 97, 1), FromBGR(0xFFFFFF));
        press(Qt::Key_Up);
        QCOMPARE(cursor(screen), std::make_pair(0, 97));
        QCOMPARE(background(grid(screen, 1), 1, 1), FromBGR(0xFFFF00));
        press(Qt::Key_Down);
        press(Qt::Key_Down, 4);
        QCOMPARE(cursor(screen), std::make_pair(2, 1));
        press(Qt::Key_Down, 7);
        type("5");
        QCOMPARE(program.fake.messages.beeps, ++beeps);
        QCOMPARE(cursor(screen), std::make_pair(2, 8));
        QCOMPARE(grid(screen, 2)->item(7, 5)->text(), QStringLiteral("X"));
        press(Qt::Key_Down);
        QCOMPARE(program.fake.messages.beeps, ++beeps);
        // Escape does not throw the answers away.
        press(Qt::Key_Escape);
        QVERIFY(screen.isVisible());
    });
    QCOMPARE(screen.gridAnswers()[97], '2');
    QCOMPARE(screen.gridAnswers()[109], '5');
}

void NewEntryScreenTest::storedAnswersShowAsMarks() {
    Program program;
    program.editClient();
    program.fake.messages.answer(MsgAnswer::Yes);
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    const int result = RunModal(screen, [&] {
        QCOMPARE(grid(screen, 0)->item(0, 2)->text(), QStringLiteral("X"));
        QCOMPARE(grid(screen, 1)->item(1, 4)->text(), QStringLiteral("X"));
        QCOMPARE(grid(screen, 1)->item(0, 1)->text(), QString());
        QCOMPARE(grid(screen, 0)->item(96, 1)->text(), QString());
        type("1");
        Choice(screen, 0)->click();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.answersOnDisk(2), "1" + std::string(96, ' ') + "04" + std::string(10, ' '));
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
}

void NewEntryScreenTest::unansweredItemsAskFirst_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("row");
    const QString section1 = QString(97, '1');
    // After item 97 the cursor is in section 2 already; Tab and Tab from there reach Save,
    // where digits beep.
    QTest::newRow("later sections passed by Tab, No")
        << section1 + ">>12"
        << "12 items have no answer. Save anyway?" << false << 2 << 1 << 1;
    QTest::newRow("later sections passed by Tab, Yes")
        << section1 + ">>"
        << "12 items have no answer. Save anyway?" << true << 0 << 0 << 0;
    QTest::newRow("one item skipped, No")
        << QString(49, '1') + "v" + QString(59, '1') + ">"
        << "1 item has no answer. Save anyway?" << false << 1 << 0 << 50;
    QTest::newRow("every item answered") << QString(109, '1') + ">"
                                         << "" << true << 1 << 0 << 0;
}

// Save with items left unanswered asks first; No puts the cursor on the first of them.
void NewEntryScreenTest::unansweredItemsAskFirst() {
    QFETCH(QString, keys);
    QFETCH(QString, question);
    QFETCH(bool, yes);
    QFETCH(int, beeps);
    QFETCH(int, grid);
    QFETCH(int, row);
    Program program;
    program.newClient();
    if (!question.isEmpty()) {
        program.fake.messages.answer(yes ? MsgAnswer::Yes : MsgAnswer::No);
    }
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    const int result = RunModal(screen, [&] {
        type(keys);
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 0));
        press(Qt::Key_Return);
        if (!yes) {
            QCOMPARE(cursor(screen), std::make_pair(grid, row));
            QVERIFY(Choice(screen, 0)->isEnabled());
        }
    });
    QCOMPARE(program.fake.messages.beeps, beeps);
    if (question.isEmpty()) {
        QVERIFY(program.fake.messages.shown.empty());
    } else {
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(program.fake.messages.shown[0].text), question);
        QCOMPARE(program.fake.messages.shown[0].buttons, MsgButtons::YesNoDefaultNo);
    }
    if (!yes) {
        QCOMPARE(result, StillOpen);
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        return;
    }
    QCOMPARE(result, int(QDialog::Accepted));
    const std::size_t typed = static_cast<std::size_t>(keys.count('1'));
    QCOMPARE(program.answersOnDisk(3), std::string(typed, '1') + std::string(109 - typed, ' '));
}

// How the screen is left without saving.
enum Leave { CancelChoice, CloseAnsweredYes, CloseAnsweredNoThenCancel };

void NewEntryScreenTest::cancel_data() {
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

// Nothing is written; a new client is dropped and client 1 is current, an edited one is as the
// file holds it, its court history changed on the screen before included.
void NewEntryScreenTest::cancel() {
    QFETCH(bool, editing);
    QFETCH(QString, keys);
    QFETCH(int, leave);
    Program program;
    if (editing) {
        program.editClient();
        // As the court history screen leaves it on the way here.
        program.session.Clients.entry(2).set(&ClientRecord::ArrestCount, "9");
    } else {
        program.newClient();
    }
    if (leave != CancelChoice) {
        program.fake.messages.answer(leave == CloseAnsweredYes ? MsgAnswer::Yes : MsgAnswer::No);
    }
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    const int result = RunModal(screen, [&] {
        type(keys);
        if (leave != CancelChoice || keys.isEmpty()) {
            screen.close();
        }
        if (leave == CloseAnsweredNoThenCancel) {
            QVERIFY(screen.isVisible());
            QCOMPARE(cursor(screen), std::make_pair(0, 5));
            press(Qt::Key_Tab, 4);
            QCOMPARE(QApplication::focusWidget(), Choice(screen, 1));
            QTest::keyClick(Choice(screen, 1), Qt::Key_Return);
        } else if (leave == CancelChoice && !keys.isEmpty()) {
            press(Qt::Key_Tab, 4);
            QTest::keyClick(Choice(screen, 1), Qt::Key_Return);
        }
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(leave != CancelChoice ? 1 : 0));
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
    if (editing) {
        QCOMPARE(program.session.CurrentClient, std::int16_t(2));
        QCOMPARE(program.session.Clients.entry(2).toBytes(), program.onDisk.substr(185));
    } else {
        QCOMPARE(program.session.CurrentClient, std::int16_t(1));
        QCOMPARE(program.session.Clients.entry(3).toBytes(), ClientRecord().toBytes());
    }
}

void NewEntryScreenTest::failedSaveKeepsTheAnswers_data() {
    QTest::addColumn<bool>("diskFails");
    QTest::addColumn<QString>("title");
    QTest::newRow("write fails") << true << "Data Disk Error";
    QTest::newRow("client file gone") << false << "Data Disk Not Found";
}

// A save that did not reach the disk says so, stores nothing, and keeps the typed answers on
// the screen for another try.
void NewEntryScreenTest::failedSaveKeepsTheAnswers() {
    QFETCH(bool, diskFails);
    QFETCH(QString, title);
    Program program(diskFails ? test::FailOn(FileOp::Write, "DATA401.QLM", EIO) : FaultInjector{});
    program.newClient();
    program.fake.messages.answer(MsgAnswer::Yes);
    if (!diskFails) {
        std::filesystem::remove(program.folder.clientFile());
        program.fake.messages.answer(MsgAnswer::OK);
    }
    program.fake.messages.answer(MsgAnswer::OK);
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids());
    const int result = RunModal(screen, [&] {
        type("12");
        Choice(screen, 0)->click();
        QVERIFY(screen.isVisible());
        QVERIFY(Choice(screen, 0)->isEnabled());
    });
    QCOMPARE(result, StillOpen);
    QCOMPARE(QString::fromStdString(program.fake.messages.shown.back().title), title);
    QCOMPARE(screen.gridAnswers()[2], '2');
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
    QCOMPARE(program.session.Clients.entry(3).Answers, std::string(109, ' '));
    if (diskFails) {
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    } else {
        QVERIFY(!std::filesystem::exists(program.folder.clientFile()));
    }
}

void NewEntryScreenTest::anUnreadableBankIsSaid() {
    Program program;
    program.newClient();
    program.session.QuestionBankPath = program.folder.program() + "/missing.db";
    program.fake.messages.answer(MsgAnswer::OK);
    ShowNewEntry(program.session, program.fake.services, EntryMode::NewClient, nullptr);
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
    QCOMPARE(program.fake.messages.shown[0].title, std::string("Question Bank Error"));
    QVERIFY(program.fake.messages.shown[0].text.find("missing.db") != std::string::npos);
    QCOMPARE(program.session.CurrentClient, std::int16_t(1));
    QCOMPARE(program.session.Clients.entry(3).toBytes(), ClientRecord().toBytes());
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
}

void NewEntryScreenTest::scannedAnswersThatCameShort() {
    Program program;
    program.newClient();
    program.session.Clients.entry(3).Answers = "21";
    program.fake.messages.answer(MsgAnswer::OK);
    FrmNewEntry screen(program.session, program.fake.services, SheetGrids(), EntryMode::Scanned);
    RunModal(screen, [&] {
        QCOMPARE(grid(screen, 0)->item(0, 2)->text(), QStringLiteral("X"));
        QCOMPARE(grid(screen, 0)->item(1, 1)->text(), QStringLiteral("X"));
    });
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
    QCOMPARE(program.fake.messages.shown[0].title, std::string("Scanned Answers Warning"));
    QCOMPARE(program.fake.messages.shown[0].text,
             std::string("Scanned answers being populated for editing but\rsome answers did not "
                         "scan correctly.\rCheck responses carefully."));
    QCOMPARE(screen.gridAnswers()[3], '0');
    QCOMPARE(screen.gridAnswers()[109], '0');
}

QTEST_MAIN(NewEntryScreenTest)
#include "NewEntryScreenTest.moc"

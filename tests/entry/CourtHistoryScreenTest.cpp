#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "entry/FrmCourtHistory.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::Choice;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

namespace {

const char* const Fields[] = {"txtAgeAtFirstArrest",   "txtTruancyCount",    "txtRunawayCount",
                              "txtArrestCount",        "txtProbationCount",  "txtRevocationCount",
                              "txtDetentionCount",     "txtConvictionCount", "txtDUIArrestCount",
                              "txtAlcoholArrestCount", "txtDrugArrestCount"};

const std::string AgeMessage =
    "Enter a number from 5 to 99 or N for not available. Press Enter to continue.";
const std::string CountMessage =
    "Enter a number from 0 to 99 or N for not available. Press Enter to continue.";

// A data location of two clients; the second has court history stored, one count
// right-justified as the screen of an older program may have left it.
struct Program : test::EntryProgram {
    Program() : EntryProgram(test::RecordBytes("EXAMPLE, ALEX") + second().toBytes()) {}
    static ClientRecord second() {
        ClientRecord record = ClientRecord::fromBytes(test::RecordBytes("SAMPLE, LEE"));
        record.set(&ClientRecord::AgeAtFirstArrest, "12");
        record.set(&ClientRecord::TruancyCount, " 3");
        record.set(&ClientRecord::DrugArrestCount, "N");
        return record;
    }
    void editClient() { EntryProgram::editClient(2); }
};

QLineEdit* field(QWidget& screen, const char* name) {
    return screen.findChild<QLineEdit*>(QString::fromLatin1(name));
}
void type(QWidget& screen, const char* name, const QString& text) {
    QLineEdit* edit = field(screen, name);
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, text);
}

}  // namespace

class CourtHistoryScreenTest : public QObject {
    Q_OBJECT

private slots:
    void namesAndTexts();
    void typingEveryFieldStoresTheRecord_data();
    void typingEveryFieldStoresTheRecord();
    void refusedValuesKeepTheField_data();
    void refusedValuesKeepTheField();
    void cancelInput_data();
    void cancelInput();
    void altShiftF10LeavesAtOnce_data();
    void altShiftF10LeavesAtOnce();
};

void CourtHistoryScreenTest::namesAndTexts() {
    Program program;
    program.newClient();
    FrmCourtHistory screen(program.session, program.fake.services, program.mode);
    QCOMPARE(screen.objectName(), QStringLiteral("frmCourtHistory"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Court History"));
    QVERIFY(screen.findChild<QWidget*>(QStringLiteral("frCourt")) != nullptr);
    for (int k = 0; k < 11; ++k) {
        QLineEdit* edit = field(screen, Fields[k]);
        QVERIFY2(edit != nullptr, Fields[k]);
        QCOMPARE(edit->maxLength(), 2);
        QVERIFY(screen.findChild<QLabel*>(QStringLiteral("lblInfo_%1").arg(k)) != nullptr);
    }
    QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("lblInfo_3"))->text(),
             QStringLiteral("4. Total number of times arrested"));
    QCOMPARE(Choice(screen, 0)->text(), QStringLiteral("Information OK"));
    QCOMPARE(Choice(screen, 1)->text(), QStringLiteral("Cancel Input"));
    QVERIFY(screen.findChild<QWidget*>(QStringLiteral("sspMenuChoice_1")) != nullptr);
}

void CourtHistoryScreenTest::typingEveryFieldStoresTheRecord_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("byClick");
    QTest::addColumn<QString>("clientAge");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("warned");
    const QString blank(18, QLatin1Char(' '));
    QTest::newRow("Enter and Tab")
        << QStringList{"14", "n", "0", "", "12", "1", "2", "3", "4", "5", "99"} << false << ""
        << "14N 0   121 2 3 4 5 99" << false;
    // "Information OK" holds every field to 0 to 100 only, the age at the first arrest too.
    QTest::newRow("age 3 by click")
        << QStringList{"3", "", "", "", "", "", "", "", "", "", "n"} << true << ""
        << "3 " + blank + "N " << false;
    QTest::newRow("age empty by click")
        << QStringList{"", "5", "", "", "", "", "", "", "", "", ""} << true << ""
        << "  5 " + blank << false;
    QTest::newRow("first arrest after the client's age")
        << QStringList{"14", "", "", "", "", "", "", "", "", "", ""} << true << "13"
        << "14  " + blank << true;
}

// Every field typed and accepted with Enter, the last one leading to "Information OK";
// Escape on the way changes nothing.
void CourtHistoryScreenTest::typingEveryFieldStoresTheRecord() {
    QFETCH(QStringList, typed);
    QFETCH(bool, byClick);
    QFETCH(QString, clientAge);
    QFETCH(QString, stored);
    QFETCH(bool, warned);
    Program program;
    program.newClient();
    program.session.Clients.entry(program.session.CurrentClient)
        .set(&ClientRecord::Age, clientAge.toStdString());
    if (warned) {
        program.fake.messages.answer(MsgAnswer::OK);
    }
    FrmCourtHistory screen(program.session, program.fake.services, program.mode);
    bool walked = false;
    const int result = RunModal(screen, [&] {
        if (byClick) {
            for (int k = 0; k < 11; ++k) {
                type(screen, Fields[k], typed[k]);
            }
            walked = true;
            QTest::mouseClick(Choice(screen, 0), Qt::LeftButton);
            return;
        }
        auto* msgPanel = screen.findChild<QLabel*>(QStringLiteral("MsgPanel"));
        QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("lblClientName"))->text(),
                 QStringLiteral("NEWCOMER, KIM            "));
        QCOMPARE(QApplication::focusWidget(), field(screen, Fields[0]));
        QCOMPARE(msgPanel->text(),
                 QStringLiteral("Type a value 5 to 99 or N for not available, then press Enter."));
        QTest::keyClick(field(screen, Fields[0]), Qt::Key_Escape);
        QVERIFY(screen.isVisible());
        for (int k = 0; k < 11; ++k) {
            QLineEdit* edit = field(screen, Fields[k]);
            QCOMPARE(QApplication::focusWidget(), edit);
            QVERIFY(screen.findChild<QLabel*>(QStringLiteral("lblInfo_%1").arg(k))->font().bold());
            QTest::keyClicks(edit, typed[k]);
            QTest::keyClick(edit, k % 2 == 0 ? Qt::Key_Return : Qt::Key_Tab);
        }
        QCOMPARE(field(screen, Fields[1])->text(), QStringLiteral("N"));
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 0));
        QCOMPARE(msgPanel->text(),
                 QStringLiteral(
                     "If information is correct press Enter or press Tab to change an entry."));
        walked = true;
        QTest::keyClick(Choice(screen, 0), Qt::Key_Return);
    });
    QVERIFY(walked);
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(warned ? 1 : 0));
    if (warned) {
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Please Check"));
        QCOMPARE(program.fake.messages.shown[0].icon, MsgIcon::Exclamation);
    }
    QCOMPARE(QString::fromStdString(program.current().toBytes().substr(52, 22)), stored);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
}

void CourtHistoryScreenTest::refusedValuesKeepTheField_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("byClick");
    const QString age = QString::fromStdString(AgeMessage);
    const QString count = QString::fromStdString(CountMessage);
    // The values are the rules' own tests; here each message, the shown text and the mouse.
    const struct {
        const char* row;
        int k;
        const char* text;
        const char* shown;
        const QString& message;
        bool byClick;
    } rows[] = {
        {"age 4", 0, "4", "4", age, false},
        {"truancy 1.", 1, "1.", "1.", count, false},
        {"drug arrests x", 10, "x", "X", count, false},
        // "Information OK" by the mouse takes no more than digits either.
        {"age x by click", 0, "x", "X", age, true},
        {"runaways .5 by click", 2, ".5", ".5", count, true},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << r.k << QString::fromLatin1(r.text) << QString::fromLatin1(r.shown)
                             << r.message << r.byClick;
    }
}

void CourtHistoryScreenTest::refusedValuesKeepTheField() {
    QFETCH(int, k);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    QFETCH(bool, byClick);
    Program program;
    program.newClient();
    const ClientRecord before = program.current();
    program.fake.messages.answer(MsgAnswer::OK);
    FrmCourtHistory screen(program.session, program.fake.services, program.mode);
    const int result = RunModal(screen, [&] {
        if (byClick && k != 0) {
            type(screen, Fields[0], QStringLiteral("14"));  // the age, left empty, comes first
        }
        type(screen, Fields[k], text);
        if (byClick) {
            // A lower-case n left without Enter shows as N once the field is left.
            type(screen, Fields[10], QStringLiteral("n"));
            QTest::mouseClick(Choice(screen, 0), Qt::LeftButton);
            QCOMPARE(field(screen, Fields[10])->text(), QStringLiteral("N"));
        } else {
            QTest::keyClick(field(screen, Fields[k]), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), field(screen, Fields[k]));
        QCOMPARE(field(screen, Fields[k])->text(), shown);
    });
    QCOMPARE(result, StillOpen);
    QCOMPARE(program.fake.messages.shown,
             (std::vector<Message>{
                 {message.toStdString(), "Data Entry Error", MsgIcon::Critical, MsgButtons::OK}}));
    QCOMPARE(program.fake.messages.beeps, 1);
    QCOMPARE(program.current(), before);
}

// How the screen is left without storing.
enum Leave { CancelChoice, CloseAnsweredYes, CloseAnsweredNoThenCancel, CloseUntouched };

void CourtHistoryScreenTest::cancelInput_data() {
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("leave");
    QTest::newRow("new client") << false << int(CancelChoice);
    QTest::newRow("edited client") << true << int(CancelChoice);
    QTest::newRow("new client, window closed") << false << int(CloseAnsweredYes);
    QTest::newRow("window close refused") << true << int(CloseAnsweredNoThenCancel);
    QTest::newRow("new client, window closed untouched") << false << int(CloseUntouched);
}

// Cancel Input, and the window's close once the user says so, store nothing; a new client is
// dropped.
void CourtHistoryScreenTest::cancelInput() {
    QFETCH(bool, editing);
    QFETCH(int, leave);
    Program program;
    editing ? program.editClient() : program.newClient();
    if (leave == CloseAnsweredYes || leave == CloseAnsweredNoThenCancel) {
        program.fake.messages.answer(leave == CloseAnsweredYes ? MsgAnswer::Yes : MsgAnswer::No);
    }
    const ClientRecord before = program.current();
    FrmCourtHistory screen(program.session, program.fake.services, program.mode);
    const int result = RunModal(screen, [&] {
        if (editing) {
            QCOMPARE(field(screen, Fields[0])->text(), QStringLiteral("12"));
            QCOMPARE(field(screen, Fields[1])->text(), QStringLiteral("3"));
            QCOMPARE(QApplication::focusWidget(), Choice(screen, 0));
        }
        if (leave != CloseUntouched) {
            type(screen, Fields[2], QStringLiteral("7"));
            QTest::keyClick(field(screen, Fields[2]), Qt::Key_Return);
        }
        if (leave != CancelChoice) {
            screen.close();
        }
        if (leave == CloseAnsweredNoThenCancel) {
            QVERIFY(screen.isVisible());
            QCOMPARE(field(screen, Fields[2])->text(), QStringLiteral("7"));
        }
        if (leave == CancelChoice || leave == CloseAnsweredNoThenCancel) {
            Choice(screen, 1)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Choice(screen, 1), Qt::Key_Return);
        }
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(program.fake.messages.answered());
    QCOMPARE(program.current(), editing ? before : ClientRecord{});
    QCOMPARE(program.session.Clients.entry(1).Name,
             std::string("EXAMPLE, ALEX") + std::string(12, ' '));
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
}

void CourtHistoryScreenTest::altShiftF10LeavesAtOnce_data() {
    QTest::addColumn<bool>("fromChoice");
    QTest::newRow("from a field") << false;
    QTest::newRow("from a menu choice") << true;
}

void CourtHistoryScreenTest::altShiftF10LeavesAtOnce() {
    QFETCH(bool, fromChoice);
    Program program;
    program.newClient();
    const ClientRecord before = program.current();
    FrmCourtHistory screen(program.session, program.fake.services, program.mode);
    const int result = RunModal(screen, [&] {
        type(screen, Fields[0], QStringLiteral("15"));
        QTest::keyClick(field(screen, Fields[0]), Qt::Key_Return);
        QWidget* at =
            fromChoice ? static_cast<QWidget*>(Choice(screen, 1)) : field(screen, Fields[1]);
        at->setFocus(Qt::TabFocusReason);
        QTest::keyClick(at, Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(program.current(), before);
}

QTEST_MAIN(CourtHistoryScreenTest)
#include "CourtHistoryScreenTest.moc"

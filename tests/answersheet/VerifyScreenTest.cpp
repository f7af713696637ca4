#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "answersheet/FrmVerify.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"

using namespace qlm;
using namespace qlm::test;

namespace {

const std::string Stored = std::string(97, '1') + std::string(12, '3');

// One client whose stored answers are `Stored`, being verified.
struct Program : EntryProgram {
    explicit Program(FaultInjector faults = {})
        : EntryProgram(RecordBytes("EXAMPLE, ALEX", Stored), std::move(faults)) {
        editClient(1);
    }
    std::string answersOnDisk() const {
        return TestFolder::read(folder.clientFile()).substr(74, 109);
    }
};

QString text(QWidget& screen, const char* name) {
    auto* widget = Child(&screen, name);
    auto* label = qobject_cast<QLabel*>(widget);
    return label != nullptr ? label->text() : qobject_cast<QLineEdit*>(widget)->text();
}

}  // namespace

class VerifyScreenTest : public QObject {
    Q_OBJECT

private slots:
    // Keys that are no answer beep; Backspace steps back, and to the first item empties the
    // previous question; Escape does not leave.
    void keysOfTheEntry() {
        Program program;
        FrmVerify screen(program.session, program.fake.services);
        RunModal(screen, [&] {
            QCOMPARE(FocusName(), QStringLiteral("txtCurQuestion"));
            QVERIFY(!Child(&screen, "Frame1")->isVisible());
            for (const Qt::Key k :
                 {Qt::Key_Backspace, Qt::Key_9, Qt::Key_Left, Qt::Key_Down, Qt::Key_F5}) {
                Key(k);
            }
            QCOMPARE(program.fake.messages.beeps, 5);
            Type("22");
            QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #2"));
            QCOMPARE(text(screen, "txtPrevQuestion"), QStringLiteral("2"));
            Key(Qt::Key_Backspace);
            QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #2"));
            QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #1"));
            Key(Qt::Key_Backspace);
            QVERIFY(Child(&screen, "Frame1")->isVisible());
            QCOMPARE(text(screen, "txtPrevQuestion"), QString());
            Key(Qt::Key_Escape);
            QVERIFY(screen.isVisible());
        });
    }

    void secondEntry_data() {
        QTest::addColumn<std::string>("typed");
        QTest::addColumn<QString>("corrections");
        QTest::addColumn<std::string>("box");
        std::string second = Stored;
        second[4] = '2';
        second[99] = '4';
        QTest::newRow("the same answers")
            << Stored << "" << std::string("Data Verification complete. No corrections needed.");
        QTest::newRow("two differ, typed a third time")
            << second << "24" << std::string("Data Verification complete.");
    }
    // The items that differ from the stored answers are typed again, and that entry is saved.
    void secondEntry() {
        QFETCH(std::string, typed);
        QFETCH(QString, corrections);
        QFETCH(std::string, box);
        Program program;
        program.fake.messages.answer(MsgAnswer::OK);
        if (!corrections.isEmpty()) {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        FrmVerify screen(program.session, program.fake.services);
        const int result = RunModal(screen, [&] {
            Type(QString::fromStdString(typed));
            if (!corrections.isEmpty()) {
                QCOMPARE(program.fake.messages.shown[0].title, std::string("Data Corrections"));
                QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #5"));
                Type(corrections.left(1));
                QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #100"));
                QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #5"));
                Type(corrections.mid(1));
            }
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(program.fake.messages.shown.back().text, box);
        QCOMPARE(program.answersOnDisk(), typed);
    }

    void cancelLeavesTheRecord_data() {
        QTest::addColumn<bool>("byWindow");
        QTest::addColumn<bool>("refuseClose");
        QTest::newRow("Cancel") << false << false;
        QTest::newRow("window closed") << true << false;
        QTest::newRow("window close refused, then Cancel") << false << true;
    }
    // Cancel, and the window's close once the supervisor says so, leave the record as it was.
    void cancelLeavesTheRecord() {
        QFETCH(bool, byWindow);
        QFETCH(bool, refuseClose);
        Program program;
        if (byWindow || refuseClose) {
            program.fake.messages.answer(refuseClose ? MsgAnswer::No : MsgAnswer::Yes);
        }
        FrmVerify screen(program.session, program.fake.services);
        const int result = RunModal(screen, [&] {
            Type(QString(50, '2'));
            if (byWindow || refuseClose) {
                screen.close();
            }
            if (!byWindow) {
                QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #51"));
                Key(Qt::Key_Tab);
                QCOMPARE(FocusName(), QStringLiteral("cmdCancel"));
                Key(Qt::Key_Return);
            }
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(program.session.Clients.entry(1).Answers, Stored);
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    }

    // Answers that did not reach the disk are not called verified, memory keeps what the disk
    // keeps, and the screen keeps the entry until Enter saves it.
    void aFailedSaveKeepsTheEntryForAnotherTry() {
        auto diskFull = std::make_shared<bool>(true);
        Program program(
            [diskFull, fail = FailOn(FileOp::Write, "DATA401.QLM", ENOSPC)](
                FileOp op, const std::string& path) { return *diskFull ? fail(op, path) : 0; });
        program.fake.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK).answer(MsgAnswer::OK);
        FrmVerify screen(program.session, program.fake.services);
        const int result = RunModal(screen, [&] {
            Type(QString(218, '0'));
            QCOMPARE(program.fake.messages.shown[1].title, std::string("Data Disk Error"));
            QVERIFY(text(screen, "pnlMessage")
                        .startsWith(QStringLiteral("The verified answers are not")));
            QCOMPARE(program.session.Clients.entry(1).Answers, Stored);
            QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
            Type("1");
            QCOMPARE(program.fake.messages.beeps, 1);
            *diskFull = false;
            Key(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(program.fake.messages.shown.back().text,
                 std::string("Data Verification complete."));
        QCOMPARE(program.answersOnDisk(), std::string(109, '0'));
    }
};

QTEST_MAIN(VerifyScreenTest)
#include "VerifyScreenTest.moc"

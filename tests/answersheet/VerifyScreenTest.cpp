#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "answersheet/FrmVerify.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"

using namespace qlm;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

namespace {

const std::string Stored = std::string(97, '1') + std::string(12, '3');

// One client whose stored answers are `Stored`.
struct Program : test::EntryProgram {
    explicit Program(FaultInjector faults = {})
        : EntryProgram(test::RecordBytes("EXAMPLE, ALEX", Stored), std::move(faults)) {
        editClient(1);
    }
};

QString text(QWidget& screen, const char* name) {
    auto* widget = screen.findChild<QWidget*>(QString::fromLatin1(name));
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    return qobject_cast<QLineEdit*>(widget)->text();
}

void type(const std::string& keys) {
    for (const char k : keys) {
        QTest::keyClick(QApplication::focusWidget(), k);
    }
}

}  // namespace

class VerifyScreenTest : public QObject {
    Q_OBJECT

private slots:
    void entryCorrectionAndSave();
    void sameAnswersNeedNoCorrection();
    void cancelLeavesTheRecord_data();
    void cancelLeavesTheRecord();
    void aFailedSaveKeepsTheEntryForAnotherTry();
};

void VerifyScreenTest::entryCorrectionAndSave() {
    Program program;
    program.fake.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK);
    FrmVerify screen(program.session, program.fake.services);
    std::string second = Stored;
    second[4] = '2';
    second[99] = '4';
    const int result = RunModal(screen, [&] {
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtCurQuestion"));
        QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #1"));
        QCOMPARE(text(screen, "pnlMessage"),
                 QStringLiteral("Enter response data from answer sheet. Press Backspace for "
                                "previous question."));
        QVERIFY(!screen.findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisible());
        const int beeps = program.fake.messages.beeps;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        type("9");
        for (const Qt::Key k : {Qt::Key_Left, Qt::Key_Down, Qt::Key_F5}) {
            QTest::keyClick(QApplication::focusWidget(), k);
        }
        QCOMPARE(program.fake.messages.beeps, beeps + 5);
        QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #1"));
        type("22");
        QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #2"));
        QCOMPARE(text(screen, "txtPrevQuestion"), QStringLiteral("2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #2"));
        QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QVERIFY(screen.findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisible());
        QCOMPARE(text(screen, "lblPrevQuestion"), QString());
        QCOMPARE(text(screen, "txtPrevQuestion"), QString());
        QCOMPARE(text(screen, "txtCurQuestion"), QString());
        type(second);
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Data Corrections"));
        QCOMPARE(program.fake.messages.shown[0].text,
                 std::string("Data Correction needed. Please correct the following questions."));
        QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #5"));
        type("1");
        QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #100"));
        QCOMPARE(text(screen, "lblPrevQuestion"), QStringLiteral("Question #5"));
        type("3");
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.fake.messages.shown.back().title, std::string("Data Verification"));
    QCOMPARE(program.fake.messages.shown.back().text, std::string("Data Verification complete."));
    second[4] = '1';
    second[99] = '3';
    QCOMPARE(TestFolder::read(program.folder.clientFile()).substr(74, 109), second);
}

void VerifyScreenTest::sameAnswersNeedNoCorrection() {
    Program program;
    program.fake.messages.answer(MsgAnswer::OK);
    FrmVerify screen(program.session, program.fake.services);
    const int result = RunModal(screen, [&] { type(Stored); });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
    QCOMPARE(program.fake.messages.shown[0].title, std::string("Data Verification."));
    QCOMPARE(program.fake.messages.shown[0].text,
             std::string("Data Verification complete. No corrections needed."));
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
}

void VerifyScreenTest::cancelLeavesTheRecord_data() {
    QTest::addColumn<bool>("byWindow");
    QTest::addColumn<bool>("refuseClose");
    QTest::newRow("Cancel") << false << false;
    QTest::newRow("window closed") << true << false;
    QTest::newRow("window close refused, then Cancel") << false << true;
}

// Cancel, and the window's close once the supervisor says so, leave the record as it was.
void VerifyScreenTest::cancelLeavesTheRecord() {
    QFETCH(bool, byWindow);
    QFETCH(bool, refuseClose);
    Program program;
    if (byWindow || refuseClose) {
        program.fake.messages.answer(refuseClose ? MsgAnswer::No : MsgAnswer::Yes);
    }
    FrmVerify screen(program.session, program.fake.services);
    const int result = RunModal(screen, [&] {
        type(std::string(50, '2'));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(screen.isVisible());
        if (byWindow || refuseClose) {
            screen.close();
        }
        if (byWindow) {
            return;
        }
        QVERIFY(screen.isVisible());
        QCOMPARE(text(screen, "lblCurQuestion"), QStringLiteral("Question #51"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdCancel"));
        QCOMPARE(text(screen, "pnlMessage"),
                 QStringLiteral("Press Enter to Cancel Data Verification and return to Main Menu"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(program.fake.messages.answered());
    QCOMPARE(program.session.Clients.entry(1).Answers, Stored);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
}

// Corrections that did not reach the disk are not called complete, memory keeps what the disk
// keeps, and the screen keeps the entry until Enter saves it.
void VerifyScreenTest::aFailedSaveKeepsTheEntryForAnotherTry() {
    auto diskFull = std::make_shared<bool>(true);
    Program program(
        [diskFull, fail = test::FailOn(FileOp::Write, "DATA401.QLM", ENOSPC)](
            FileOp op, const std::string& path) { return *diskFull ? fail(op, path) : 0; });
    program.fake.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK).answer(MsgAnswer::OK);
    FrmVerify screen(program.session, program.fake.services);
    const int result = RunModal(screen, [&] {
        type(std::string(109, '0'));
        type(std::string(109, '0'));
        QVERIFY(screen.isVisible());
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(2));
        QCOMPARE(program.fake.messages.shown[1].title, std::string("Data Disk Error"));
        QVERIFY(program.fake.messages.shown[1].text.find("The verified answers could not be "
                                                         "saved.") == 0);
        QCOMPARE(text(screen, "pnlMessage"),
                 QStringLiteral("The verified answers are not saved. Press Enter to save them "
                                "again, or Cancel to discard them."));
        QCOMPARE(program.session.Clients.entry(1).Answers, Stored);
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        const int beeps = program.fake.messages.beeps;
        type("1");
        QCOMPARE(program.fake.messages.beeps, beeps + 1);
        *diskFull = false;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.fake.messages.shown.back().text, std::string("Data Verification complete."));
    QCOMPARE(TestFolder::read(program.folder.clientFile()).substr(74, 109), std::string(109, '0'));
}

QTEST_MAIN(VerifyScreenTest)
#include "VerifyScreenTest.moc"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "session/Session.h"
#include "storage/FileSystem.h"
#include "support/FakeServices.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"
#include "testing/FrmSelectEntryMethod.h"

using namespace qlm;
using qlm::test::Choice;
using qlm::test::MsgPanel;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

namespace {

struct Program {
    TestFolder folder;
    FileSystem files;
    Session session{files, folder.program()};
    test::FakeServices fake;
    int onscreenRuns = 0;
    int paperRuns = 0;
    bool screenOpenDuringChain = false;

    EntryMethodSequences sequences(bool withOnscreen) {
        EntryMethodSequences s;
        if (withOnscreen) {
            s.onscreenTest = [this] { ++onscreenRuns; };
        }
        s.paperSheet = [this] {
            ++paperRuns;
            auto* screen = QApplication::activeModalWidget();
            screenOpenDuringChain =
                screen != nullptr && screen->objectName() == "frmSelectEntryMethod";
        };
        return s;
    }
};

}  // namespace

class EntryMethodScreenTest : public QObject {
    Q_OBJECT

private slots:
    void namesAndTexts();
    void choicePrompts_data();
    void choicePrompts();
    void onscreenChoiceNeedsItsChain();
    void choicesRunTheirChain_data();
    void choicesRunTheirChain();
    void downSkipsTheHiddenScanner();
};

void EntryMethodScreenTest::namesAndTexts() {
    Program program;
    FrmSelectEntryMethod screen(program.session, program.fake.services, program.sequences(true));
    QCOMPARE(screen.objectName(), QStringLiteral("frmSelectEntryMethod"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Entry Method"));
    auto* frame = screen.findChild<QGroupBox*>(QStringLiteral("fraSelectMethod"));
    QVERIFY(frame != nullptr);
    QCOMPARE(frame->title(), QStringLiteral("Select Client Data Entry Method"));
    QVERIFY(screen.findChild<QFrame*>(QStringLiteral("frBlank")) != nullptr);
    QVERIFY(screen.findChild<QLabel*>(QStringLiteral("MsgPanel")) != nullptr);
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));
    QVERIFY(!screen.findChild<QLabel*>(QStringLiteral("lblClientName"))->isVisible());
    QVERIFY(!Choice(screen, 2)->isVisible());
    QVERIFY(!screen.findChild<QWidget*>(QStringLiteral("shpMenuChoice_2"))->isVisible());
    for (int i : {0, 1, 3}) {
        QVERIFY(Choice(screen, i)->isVisible());
        QVERIFY(screen.findChild<QWidget*>(QStringLiteral("shpMenuChoice_%1").arg(i)));
    }
}

void EntryMethodScreenTest::choicePrompts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("0") << 0 << "Administer Test to Client"
                       << "Onscreen Presentation. Enter client information then present the test "
                          "on the computer.";
    QTest::newRow("1") << 1 << "Enter Test Data from Answer Sheet"
                       << "Paper-Pencil Presentation. Manually enter test information from "
                          "completed answer sheet.";
    QTest::newRow("2") << 2 << "Scan Answer Sheet"
                       << "Optical Scanner Presentation. Scan completed answer sheet.";
    QTest::newRow("3") << 3 << "Cancel New Client Entry"
                       << "Cancel. Do not enter a new client. Return to Main Menu.";
}

void EntryMethodScreenTest::choicePrompts() {
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, prompt);
    Program program;
    FrmSelectEntryMethod screen(program.session, program.fake.services, program.sequences(true));
    QCOMPARE(Choice(screen, index)->text(), caption);
    // The hidden scanner choice is shown here only to read its prompt.
    screen.findChild<QWidget*>(QStringLiteral("shpMenuChoice_%1").arg(index))->show();
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    Choice(screen, index)->setFocus(Qt::TabFocusReason);
    QCOMPARE(MsgPanel(screen), prompt);
    QVERIFY(Choice(screen, index)->font().bold());
}

void EntryMethodScreenTest::onscreenChoiceNeedsItsChain() {
    Program program;
    FrmSelectEntryMethod screen(program.session, program.fake.services, program.sequences(false));
    const int result = RunModal(screen, [&] {
        QVERIFY(!Choice(screen, 0)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 1));
        QTest::mouseClick(Choice(screen, 0), Qt::LeftButton);
        QVERIFY(screen.isVisible());
    });
    QCOMPARE(result, StillOpen);
    QCOMPARE(program.onscreenRuns, 0);
    QCOMPARE(program.paperRuns, 0);
}

void EntryMethodScreenTest::choicesRunTheirChain_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("onscreenRuns");
    QTest::addColumn<int>("paperRuns");
    QTest::newRow("on screen") << 0 << 1 << 0;
    QTest::newRow("paper sheet") << 1 << 0 << 1;
    QTest::newRow("cancel") << 3 << 0 << 0;
}

void EntryMethodScreenTest::choicesRunTheirChain() {
    QFETCH(int, index);
    QFETCH(int, onscreenRuns);
    QFETCH(int, paperRuns);
    Program program;
    FrmSelectEntryMethod screen(program.session, program.fake.services, program.sequences(true));
    const int result = RunModal(screen, [&] {
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 0));
        Choice(screen, index)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Choice(screen, index), Qt::Key_Return);
    });
    QVERIFY(result != StillOpen);
    QCOMPARE(program.onscreenRuns, onscreenRuns);
    QCOMPARE(program.paperRuns, paperRuns);
    QCOMPARE(program.screenOpenDuringChain, paperRuns == 1);
    QVERIFY(program.fake.messages.shown.empty());
}

void EntryMethodScreenTest::downSkipsTheHiddenScanner() {
    Program program;
    FrmSelectEntryMethod screen(program.session, program.fake.services, program.sequences(true));
    const int result = RunModal(screen, [&] {
        QTest::keyClick(Choice(screen, 0), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 1));
        QTest::keyClick(Choice(screen, 1), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 3));
        QTest::keyClick(Choice(screen, 3), Qt::Key_P);
        QVERIFY(screen.isVisible());
        QTest::keyClick(Choice(screen, 3), Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(program.onscreenRuns + program.paperRuns, 0);
}

QTEST_MAIN(EntryMethodScreenTest)
#include "EntryMethodScreenTest.moc"

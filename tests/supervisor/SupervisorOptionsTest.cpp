#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>
#include <deque>

#include "entry/FrmMyInputBox.h"
#include "supervisor/FrmSupervisorOptions.h"
#include "supervisor/FrmViewReport.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"

using namespace qlm;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

namespace {

// Three clients with answers (the second's record damaged where asked), and the data files the
// reports are made from.
struct Program : test::EntryProgram {
    explicit Program(int clients = 3, bool twoDamaged = false)
        : EntryProgram(clients == 0 ? std::string()
                                    : test::RecordBytes("ONE", std::string(109, '1')) +
                                          test::RecordBytes("TWO", std::string(108, '2') +
                                                                       (twoDamaged ? "9" : "2")) +
                                          test::RecordBytes("THREE", std::string(109, '1'))) {
        folder.installBuiltDataFiles();
        session.CurrentClient = 2;
    }
};

QPushButton* button(QWidget& screen, const char* name) {
    return screen.findChild<QPushButton*>(QString::fromLatin1(name));
}
// Notes whether the busy pointer showed while the user would choose the printer.
void watchPointer(Program& program, bool& busy) {
    program.fake.printer.whenAsked = [&busy] {
        busy = busy || QGuiApplication::overrideCursor() != nullptr;
    };
}
QString nameShown(QWidget& screen) {
    return screen.findChild<QLabel*>(QStringLiteral("lblNameDisplay"))->text();
}

void giveSecretCode() {
    test::OnModal<FrmMyInputBox>([](FrmMyInputBox& box) {
        QTest::keyClicks(box.findChild<QLineEdit*>(QStringLiteral("txtInput")), "q");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
}

}  // namespace

class SupervisorOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void anEmptyDataDiskReturnsAtOnce();
    void tabsShowWhatTheyWorkOn();
    void printAllKeepsTheCurrentClient_data();
    void printAllKeepsTheCurrentClient();
    void printSelectedInClientOrder();
    void viewReportKeys_data();
    void viewReportKeys();
};

void SupervisorOptionsTest::anEmptyDataDiskReturnsAtOnce() {
    Program program(0);
    program.fake.messages.answer(MsgAnswer::OK);
    FrmSupervisorOptions screen(program.session, program.fake.services);
    QCOMPARE(screen.exec(), int(QDialog::Rejected));
    QCOMPARE(program.fake.messages.shown.at(0),
             (Message{"There are no clients on this data disk.\r\nReturning to main menu.",
                      "Empty Data Disk", MsgIcon::Information, MsgButtons::OK}));
}

void SupervisorOptionsTest::tabsShowWhatTheyWorkOn() {
    Program program;
    FrmSupervisorOptions screen(program.session, program.fake.services);
    RunModal(screen, [&] {
        auto* tabs = screen.findChild<QTabWidget*>(QStringLiteral("sstSupervisorOperations"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("&Reports"));
        QCOMPARE(tabs->palette().color(QPalette::Window), QColor(0, 0, 255));
        QCOMPARE(nameShown(screen), QStringLiteral("TWO") + QString(22, ' '));
        screen.findChild<QRadioButton*>(QStringLiteral("optPrintOption_2"))->click();
        tabs->setCurrentIndex(2);
        QCOMPARE(nameShown(screen), QStringLiteral("All Clients"));
        QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("MsgPanel"))->text(),
                 QStringLiteral("Click Execute to perform delete names operation."));
        tabs->setCurrentIndex(1);
        QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("MsgPanel"))->text(),
                 QStringLiteral("Click Execute to perform data verification."));
        tabs->setCurrentIndex(0);
        QCOMPARE(nameShown(screen), QStringLiteral("TWO") + QString(22, ' '));
        QVERIFY(screen.findChild<QRadioButton*>(QStringLiteral("optPrintOption_2"))->isChecked());
    });
}

// All three reports go to the printer as one job, each client on pages of its own; the client
// current before is current after. A damaged record is left out and named afterwards.
void SupervisorOptionsTest::printAllKeepsTheCurrentClient_data() {
    QTest::addColumn<bool>("twoDamaged");
    QTest::newRow("all sound") << false;
    QTest::newRow("client 2 damaged") << true;
}

void SupervisorOptionsTest::printAllKeepsTheCurrentClient() {
    QFETCH(bool, twoDamaged);
    Program program(3, twoDamaged);
    bool busy = false;
    watchPointer(program, busy);
    if (twoDamaged) {
        program.fake.messages.answer(MsgAnswer::OK);
    }
    FrmSupervisorOptions screen(program.session, program.fake.services);
    const int result = RunModal(screen, [&] {
        screen.findChild<QRadioButton*>(QStringLiteral("optPrintOption_2"))->click();
        giveSecretCode();
        button(screen, "cmdMenuChoice_0")->click();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.session.CurrentClient, std::int16_t(2));
    QCOMPARE(program.fake.printer.jobs.size(), std::size_t(1));
    const std::string& job = program.fake.printer.jobs[0];
    const auto one = job.find("ONE");
    const auto two = job.find("TWO");
    const auto three = job.find("THREE");
    QVERIFY(one != std::string::npos && three != std::string::npos);
    QVERIFY(twoDamaged ? two == std::string::npos : one < two && two < three);
    QVERIFY(!busy);
    const std::vector<Message> skipped{
        {"Reports printed for 2 clients.\r\n\r\nNot printed "
         "(damaged record): client 2.",
         "Print Report", MsgIcon::Exclamation, MsgButtons::OK}};
    QCOMPARE(program.fake.messages.shown, twoDamaged ? skipped : std::vector<Message>{});
}

void SupervisorOptionsTest::printSelectedInClientOrder() {
    Program program;
    FrmSupervisorOptions screen(program.session, program.fake.services);
    RunModal(screen, [&] {
        screen.findChild<QRadioButton*>(QStringLiteral("optPrintOption_1"))->click();
        giveSecretCode();
        test::OnModal<QDialog>([](QDialog& select) {
            QCOMPARE(select.objectName(), QStringLiteral("frmPrintSelected"));
            auto* list = select.findChild<QListWidget*>(QStringLiteral("lbNameDisplay"));
            QCOMPARE(list->item(2)->text(), QStringLiteral("3-THREE") + QString(20, ' '));
            list->item(2)->setSelected(true);
            list->item(0)->setSelected(true);
            QTest::keyClick(select.findChild<QPushButton*>(QStringLiteral("cmdMenuChoice_0")),
                            Qt::Key_Return);
        });
        button(screen, "cmdMenuChoice_0")->click();
    });
    QCOMPARE(program.session.CurrentClient, std::int16_t(3));
    QCOMPARE(program.fake.printer.jobs.size(), std::size_t(1));
    const std::string& job = program.fake.printer.jobs[0];
    QVERIFY(job.find("ONE") < job.find("THREE"));
    QCOMPARE(job.find("TWO  "), std::string::npos);
}

// The window sees the scrolling keys before its buttons; Enter runs the focused button.
void SupervisorOptionsTest::viewReportKeys_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("scrolled");  // -1 up, 1 down
    QTest::newRow("Down on Print Report") << "cmdPrintReport" << int(Qt::Key_Down) << 1;
    QTest::newRow("Page Up on Close") << "cmdCancel" << int(Qt::Key_PageUp) << -1;
    QTest::newRow("Enter on Print Report") << "cmdPrintReport" << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter on Close") << "cmdCancel" << int(Qt::Key_Return) << 0;
}

void SupervisorOptionsTest::viewReportKeys() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, scrolled);
    Program program;
    bool busy = false;
    watchPointer(program, busy);
    FrmViewReport view(program.session, program.fake.services);
    int moved = 0;
    const int result = RunModal(view, [&] {
        auto* text = view.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        QTRY_VERIFY(!text->toPlainText().isEmpty());
        QScrollBar* bar = text->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const int before = bar->value();
        QPushButton* pressed = ::button(view, qPrintable(button));
        pressed->setFocus();
        QTest::keyClick(pressed, Qt::Key(key));
        moved = (bar->value() > before) - (bar->value() < before);
    });
    const bool enter = key == Qt::Key_Return;
    QCOMPARE(moved, scrolled);
    QCOMPARE(result, enter && button == "cmdCancel" ? int(QDialog::Accepted) : StillOpen);
    QCOMPARE(program.fake.printer.jobs.size(), std::size_t(enter && button == "cmdPrintReport"));
    QVERIFY(!busy);
}

QTEST_MAIN(SupervisorOptionsTest)
#include "SupervisorOptionsTest.moc"

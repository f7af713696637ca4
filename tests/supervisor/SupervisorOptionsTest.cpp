#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <deque>

#include "entry/FrmMyInputBox.h"
#include "supervisor/FrmSupervisorOptions.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"

using namespace qlm;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

namespace {

// Three clients with answers, and the data files the reports are made from.
struct Program : test::EntryProgram {
    explicit Program(int clients = 3)
        : EntryProgram(clients == 0 ? std::string()
                                    : test::RecordBytes("ONE", std::string(109, '1')) +
                                          test::RecordBytes("TWO", std::string(109, '2')) +
                                          test::RecordBytes("THREE", std::string(109, '1'))) {
        folder.installBuiltDataFiles();
        session.CurrentClient = 2;
    }
};

QPushButton* button(QWidget& screen, const char* name) {
    return screen.findChild<QPushButton*>(QString::fromLatin1(name));
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
    void printAllKeepsTheCurrentClient();
    void printSelectedInClientOrder();
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
// current before is current after.
void SupervisorOptionsTest::printAllKeepsTheCurrentClient() {
    Program program;
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
    QVERIFY(one != std::string::npos && one < two && two < three && three != std::string::npos);
    QVERIFY(program.fake.messages.shown.empty());
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

QTEST_MAIN(SupervisorOptionsTest)
#include "SupervisorOptionsTest.moc"

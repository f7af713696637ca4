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
#include <functional>

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
// reports are made from; the notice of the default code was given already unless `noticeDue`.
struct Program : test::EntryProgram {
    explicit Program(int clients = 3, bool noticeDue = false, FaultInjector faults = {},
                     bool twoDamaged = false)
        : EntryProgram(clients == 0 ? std::string()
                                    : test::RecordBytes("ONE", std::string(109, '1')) +
                                          test::RecordBytes("TWO", std::string(108, '2') +
                                                                       (twoDamaged ? "9" : "2")) +
                                          test::RecordBytes("THREE", std::string(109, '1')),
                       std::move(faults)) {
        folder.installBuiltDataFiles();
        session.CurrentClient = 2;
        if (!noticeDue) {
            session.Code.defaultNoticeDue();
        }
    }
    // The access log's lines without their time and user.
    QStringList logged() const {
        QStringList lines;
        const QString log = QString::fromStdString(TestFolder::read(folder.data() + "/access.log"));
        for (const QString& line : log.split('\n', Qt::SkipEmptyParts)) {
            lines << line.section('\t', 2);
        }
        return lines;
    }
};

FaultInjector failingLog(bool fails) {
    return fails ? test::FailOn(FileOp::Open, "access.log", EACCES) : FaultInjector();
}

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

// Types the code into the box once it is up; `next` is then set for the screen it opens.
void giveSecretCode(const std::function<void()>& next = {}) {
    test::OnModal<FrmMyInputBox>([next](FrmMyInputBox& box) {
        if (next) {
            next();
        }
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
    void aReportIsShownOnlyOnceLogged_data();
    void aReportIsShownOnlyOnceLogged();
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
    Program program(3, true);
    program.fake.messages.answer(MsgAnswer::OK);
    FrmSupervisorOptions screen(program.session, program.fake.services);
    RunModal(screen, [&] {
        QTRY_COMPARE(program.fake.messages.shown.size(), std::size_t(1));
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Default Secret Code"));
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
    // Once a run.
    FrmSupervisorOptions again(program.session, program.fake.services);
    RunModal(again, [] {});
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
}

void SupervisorOptionsTest::aReportIsShownOnlyOnceLogged_data() {
    QTest::addColumn<bool>("codeGiven");
    QTest::addColumn<bool>("logFails");
    QTest::newRow("code given") << true << false;
    QTest::newRow("code refused: nothing logged") << false << false;
    QTest::newRow("no log can be written: nothing shown") << true << true;
}

void SupervisorOptionsTest::aReportIsShownOnlyOnceLogged() {
    QFETCH(bool, codeGiven);
    QFETCH(bool, logFails);
    Program program(3, false, failingLog(logFails));
    if (logFails) {
        program.fake.messages.answer(MsgAnswer::OK);
    }
    bool shown = false;
    FrmSupervisorOptions screen(program.session, program.fake.services);
    RunModal(screen, [&] {
        if (!codeGiven) {
            test::OnModal<FrmMyInputBox>([](FrmMyInputBox& box) { box.close(); });
        } else if (logFails) {
            giveSecretCode();  // the viewer closes by itself
        } else {
            giveSecretCode([&] {
                test::OnModal<QDialog>([&](QDialog& view) {
                    QCOMPARE(view.objectName(), QStringLiteral("frmViewReport"));
                    shown = view.findChild<QPlainTextEdit*>("Text1")->toPlainText().contains("TWO");
                    view.accept();
                });
            });
        }
        button(screen, "cmdMenuChoice_0")->click();
    });
    QCOMPARE(shown, codeGiven && !logFails);
    QCOMPARE(program.logged(),
             codeGiven && !logFails ? QStringList{"quillmere\tview\t2"} : QStringList{});
    if (logFails) {
        const Message& said = program.fake.messages.shown.back();
        QCOMPARE(said.title, std::string("Access Log"));
        QVERIFY(said.text.starts_with("The access log cannot be written: Error 70: "));
        QVERIFY(said.text.ends_with("The report is not shown."));
    }
}

void SupervisorOptionsTest::printAllKeepsTheCurrentClient_data() {
    QTest::addColumn<bool>("toPdf");
    QTest::addColumn<bool>("logFails");
    QTest::addColumn<bool>("twoDamaged");
    QTest::newRow("printer") << false << false << false;
    QTest::newRow("PDF file") << true << false << false;
    QTest::newRow("no log can be written: nothing printed") << false << true << false;
    QTest::newRow("client 2 damaged") << false << false << true;
}

// All three reports go to the printer as one job, each client on pages of its own and on a
// line of the access log of its own; the client current before is current after. A damaged
// record is left out and named afterwards.
void SupervisorOptionsTest::printAllKeepsTheCurrentClient() {
    QFETCH(bool, toPdf);
    QFETCH(bool, logFails);
    QFETCH(bool, twoDamaged);
    Program program(3, false, failingLog(logFails), twoDamaged);
    program.fake.printer.target = toPdf ? PrintTarget::PdfFile : PrintTarget::Printer;
    bool busy = false;
    watchPointer(program, busy);
    if (logFails || twoDamaged) {
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
    if (logFails) {
        QVERIFY(program.fake.printer.jobs.empty());
        QVERIFY(program.fake.messages.shown.back().text.starts_with(
            "The report was not printed.\r\n\r\nThe access log cannot be written: Error 70: "));
        return;
    }
    const QString action = toPdf ? "quillmere\tpdf\t" : "quillmere\tprint\t";
    const QStringList logged = twoDamaged ? QStringList{action + "1", action + "3"}
                                          : QStringList{action + "1", action + "2", action + "3"};
    QCOMPARE(program.logged(), logged);
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
        giveSecretCode([] {
            test::OnModal<QDialog>([](QDialog& select) {
                QCOMPARE(select.objectName(), QStringLiteral("frmPrintSelected"));
                auto* list = select.findChild<QListWidget*>(QStringLiteral("lbNameDisplay"));
                QCOMPARE(list->item(2)->text(), QStringLiteral("3-THREE") + QString(20, ' '));
                list->item(2)->setSelected(true);
                list->item(0)->setSelected(true);
                QTest::keyClick(select.findChild<QPushButton*>(QStringLiteral("cmdMenuChoice_0")),
                                Qt::Key_Return);
            });
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

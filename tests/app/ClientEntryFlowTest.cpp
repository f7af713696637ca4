#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/FrmMainMenu.h"
#include "app/MainMenuWiring.h"
#include "session/Operations.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/TestFolder.h"
#include "testing/TestBank.h"
#include "ui/MenuChoice.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

// One screen of a sequence and what the user does on it.
struct Step {
    QString screen;
    std::function<void(QWidget*)> act;
};

// Closes whatever is open, without a question, so that a sequence that went astray ends
// instead of hanging.
void closeModalScreens() {
    for (int i = 0; i < 10 && QApplication::activeModalWidget() != nullptr; ++i) {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->done(QDialog::Rejected);
        }
    }
}

// Runs each step once its screen is the active modal one. The next step is waited for before
// the current one acts, because acting may open the next screen modally and return only when
// the whole sequence is over.
void runSteps(std::vector<Step> steps, int triesLeft = 500) {
    if (steps.empty()) {
        return;
    }
    QTimer::singleShot(10, [steps = std::move(steps), triesLeft]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != steps.front().screen ||
            !modal->isActiveWindow()) {
            if (triesLeft > 0) {
                runSteps(std::move(steps), triesLeft - 1);
            } else {
                QTest::qFail(qPrintable(steps.front().screen + " did not come up"), __FILE__,
                             __LINE__);
                closeModalScreens();
            }
            return;
        }
        const Step step = steps.front();
        steps.erase(steps.begin());
        runSteps(std::move(steps));
        step.act(modal);
    });
}

QWidget* focused() {
    return QApplication::focusWidget();
}

// Types `text`, then Enter.
void enter(const char* text = "") {
    for (const char* c = text; *c != '\0'; ++c) {
        QTest::keyClick(focused(), *c);
    }
    QTest::keyClick(focused(), Qt::Key_Return);
}

// An empty data location, the program folder with the publisher file and a question bank,
// and the main menu wired as the program wires it.
struct Program {
    TestFolder folder;
    FileSystem files;
    Session session{files, folder.program()};
    test::FakeServices fake;
    std::unique_ptr<FrmMainMenu> menu;

    Program() {
        TestFolder::write(folder.program() + "/PUBLISHERS.TXT",
                          TestFolder::read(TestFolder::sourceFolder() + "/data/PUBLISHERS.TXT"));
        test::WriteBank(folder.program() + "/" + QuestionBankFileName,
                        {{"English", test::StandardRows()}});
        TestFolder::write(folder.clientFile(), "");
        session.Settings.WriteINIFilePath(folder.data());
        menu = std::make_unique<FrmMainMenu>(session, fake.services, MainMenuOptions{1, 1, {}, {}});
        WireMainMenu(*menu, session, fake.services);
    }

    bool start() {
        if (!menu->StartUp()) {
            return false;
        }
        menu->show();
        menu->activateWindow();
        return QTest::qWaitForWindowActive(menu.get());
    }

    QPushButton* choice(int i) const {
        return menu->findChild<QPushButton*>(MenuChoice::buttonName(i));
    }
    void run(int i) {
        choice(i)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(choice(i), Qt::Key_Return);
    }
    QStringList listed() const {
        QStringList items;
        auto* list = menu->findChild<QListWidget*>(QStringLiteral("lbNameDisplay"));
        for (int i = 0; i < list->count(); ++i) {
            items << list->item(i)->text();
        }
        return items;
    }
};

const std::string Court = "121 0 3 2 1 0 1 0 0 2 ";

}  // namespace

class ClientEntryFlowTest : public QObject {
    Q_OBJECT

private slots:
    void addFromAnAnswerSheetThenEdit();
    void anEditGivenUpLeavesTheRecord_data();
    void anEditGivenUpLeavesTheRecord();
    void theFiftySecondClientIsRefusedAtOnce();
};

// From the main menu by keys alone: a new client from a paper sheet, then the same client
// edited; the file holds exactly what was accepted. The test given on screen goes the same way
// in the acceptance tests.
void ClientEntryFlowTest::addFromAnAnswerSheetThenEdit() {
    Program program;
    // Both saves leave items unanswered and say so first.
    program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes);
    QVERIFY(program.start());
    QVERIFY(program.choice(FrmMainMenu::AddChoice)->isEnabled());

    runSteps({
        {"frmSelectEntryMethod",
         [](QWidget* screen) {
             QTest::keyClick(screen->findChild<QPushButton*>(MenuChoice::buttonName(1)),
                             Qt::Key_Return);
         }},
        {"frmClientInfo",
         [](QWidget*) {
             enter("DOE, PAT");
             enter("15");
             enter("1");
             enter("3");
             enter("9");
             enter("04122011");
             enter();
         }},
        {"frmCourtHistory",
         [](QWidget*) {
             for (const char* count : {"12", "1", "0", "3", "2", "1", "0", "1", "0", "0", "2"}) {
                 enter(count);
             }
             enter();
         }},
        {"frmNewEntry",
         [](QWidget*) {
             QTest::keyClick(focused(), '1');
             QTest::keyClick(focused(), '2');
             QTest::keyClick(focused(), Qt::Key_Tab);
             QTest::keyClick(focused(), '4');
             QTest::keyClick(focused(), Qt::Key_Tab);
             enter();
         }},
    });
    program.run(FrmMainMenu::AddChoice);

    const std::string added = std::string("DOE, PAT") + std::string(17, ' ') + "15" + "1" + "3" +
                              "9 " + "04/12/2011" + "0" + "12/07/2026" + Court + "12" +
                              std::string(95, '0') + "4" + std::string(11, '0') + "0" + "0";
    QCOMPARE(TestFolder::read(program.folder.clientFile()), added);
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(1));
    QCOMPARE(program.listed(), QStringList{QStringLiteral("1-DOE, PAT                 ")});
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));

    // The first client saved is the one chosen, ready for Edit: the stored screens come up on
    // "Information OK"; only the answer changed is new.
    QVERIFY(program.choice(FrmMainMenu::EditChoice)->isEnabled());
    runSteps({
        {"frmClientInfo",
         [](QWidget*) {
             // From "Information OK" back to the age, then Enter through the rest.
             for (int i = 0; i < 5; ++i) {
                 QTest::keyClick(focused(), Qt::Key_Backtab);
             }
             enter("16");
             for (int i = 0; i < 5; ++i) {
                 enter();
             }
         }},
        {"frmCourtHistory", [](QWidget*) { enter(); }},
        {"frmNewEntry",
         [](QWidget*) {
             QTest::keyClick(focused(), Qt::Key_Down);
             QTest::keyClick(focused(), '1');
             for (int i = 0; i < 2; ++i) {
                 QTest::keyClick(focused(), Qt::Key_Tab);
             }
             enter();
         }},
    });
    program.run(FrmMainMenu::EditChoice);

    std::string edited = added;
    edited.replace(25, 2, "16");
    edited[74 + 1] = '1';
    edited[183] = '1';
    QCOMPARE(TestFolder::read(program.folder.clientFile()), edited);
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(1));
    QVERIFY(program.fake.messages.answered());
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(2));

    // qlm reads the stored client as the program holds it: the same report.
    program.folder.installBuiltDataFiles();
    program.session.CurrentClient = 1;
    const std::string inProgram = program.folder.root() + "/in-program.prn";
    MakeReport(program.session, inProgram);
    QProcess qlm;
    qlm.start(
        QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
        {"report", "--client", "1", "--home", QString::fromStdString(program.folder.program()),
         "--data", QString::fromStdString(program.folder.data())});
    QVERIFY(qlm.waitForFinished());
    QCOMPARE(qlm.exitCode(), 0);
    const std::string report = TestFolder::read(program.folder.program() + "/report.prn");
    QVERIFY(report.find("NAME          : DOE, PAT") != std::string::npos);
    QCOMPARE(report, TestFolder::read(inProgram));
}

void ClientEntryFlowTest::anEditGivenUpLeavesTheRecord_data() {
    QTest::addColumn<bool>("nameDeleted");
    QTest::newRow("court history changed, answers cancelled") << false;
    QTest::newRow("name deleted") << true;
}

// An edit that ends without saving leaves the record in memory as the file holds it; a client
// whose name was deleted opens no screen that could change it.
void ClientEntryFlowTest::anEditGivenUpLeavesTheRecord() {
    QFETCH(bool, nameDeleted);
    Program program;
    ClientRecord stored =
        ClientRecord::fromBytes(test::RecordBytes("DOE, PAT", std::string(109, '1')));
    for (const auto& [field, value] : {std::pair{&ClientRecord::Age, "15"},
                                       {&ClientRecord::Sex, "1"},
                                       {&ClientRecord::Race, "2"},
                                       {&ClientRecord::Education, "9"},
                                       {&ClientRecord::DateOfBirth, "N"},
                                       {&ClientRecord::AgeAtFirstArrest, "12"},
                                       {&ClientRecord::ArrestCount, " 3"},
                                       {&ClientRecord::NameDeleted, nameDeleted ? "1" : "0"}}) {
        stored.set(field, value);
    }
    TestFolder::write(program.folder.clientFile(), stored.toBytes());
    QVERIFY(program.start());
    auto* list = program.menu->findChild<QListWidget*>(QStringLiteral("lbNameDisplay"));
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);

    std::vector<Step> steps{{"frmClientInfo", [](QWidget*) { enter(); }}};
    // Any other screen of a name-deleted client is closed and fails the test.
    QTimer watch;
    connect(&watch, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->objectName() != QStringLiteral("frmClientInfo")) {
            QTest::qFail(qPrintable(modal->objectName() + " opened"), __FILE__, __LINE__);
            closeModalScreens();
        }
    });
    if (nameDeleted) {
        watch.start(20);
    } else {
        steps.push_back({"frmCourtHistory", [](QWidget*) {
                             // From "Information OK" back to the drug arrests.
                             QTest::keyClick(focused(), Qt::Key_Backtab);
                             enter("5");
                             enter();
                         }});
        steps.push_back({"frmNewEntry", [](QWidget*) {
                             QTest::keyClick(focused(), '2');
                             // Over the second grid and Save to Cancel.
                             for (int i = 0; i < 3; ++i) {
                                 QTest::keyClick(focused(), Qt::Key_Tab);
                             }
                             QCOMPARE(focused()->objectName(), QStringLiteral("cmdMenuChoice_1"));
                             enter();
                         }});
    }
    runSteps(steps);
    program.run(FrmMainMenu::EditChoice);

    QCOMPARE(TestFolder::read(program.folder.clientFile()), stored.toBytes());
    QCOMPARE(program.session.Clients.entry(1).toBytes(), stored.toBytes());
    QVERIFY(program.fake.messages.shown.empty());
}

void ClientEntryFlowTest::theFiftySecondClientIsRefusedAtOnce() {
    Program program;
    std::string full;
    for (int n = 1; n <= 51; ++n) {
        full += test::RecordBytes("CLIENT " + std::to_string(n));
    }
    TestFolder::write(program.folder.clientFile(), full);
    QVERIFY(program.start());
    program.fake.messages.answer(MsgAnswer::OK);
    program.run(FrmMainMenu::AddChoice);
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
    QCOMPARE(program.fake.messages.shown[0].title, std::string("Data Disk Full"));
    QVERIFY(program.fake.messages.shown[0].text.find("51 clients") != std::string::npos);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), full);
}

QTEST_MAIN(ClientEntryFlowTest)
#include "ClientEntryFlowTest.moc"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QListWidget>
#include <QtTest>

#include "app/FrmMainMenu.h"
#include "app/MainMenuWiring.h"
#include "session/DriveSelect.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/PlayKeys.h"
#include "support/TestFolder.h"
#include "ui/Help.h"
#include "ui/MenuChoice.h"

using namespace qlm;
using qlm::test::Child;
using qlm::test::OnModal;
using qlm::test::TestFolder;

namespace {

std::string clients(int count) {
    std::string bytes;
    for (int n = 1; n <= count; ++n) {
        bytes += test::RecordBytes("CLIENT " + std::to_string(n));
    }
    return bytes;
}

UserFolders ownFolders(const TestFolder& folder) {
    UserFolders user;
    user.location = folder.root() + "/home/.local/share/quillmere/data";
    user.guide = folder.root() + "/doc #1/user-guide.html";
    return user;
}

// A program folder with the publisher file, a data location of `count` clients (that only
// `faults` may refuse), the settings naming it unless told otherwise, and the main menu over
// them; the user's own data location is not there yet, and their guide's folder is odd.
struct Program {
    TestFolder folder;
    FileSystem files;
    Session session{files, folder.program(), ownFolders(folder)};
    test::FakeServices fake;
    test::FakeMessages& messages = fake.messages;
    std::string browsedTo;
    std::string exportTo;
    std::unique_ptr<FrmMainMenu> menu;

    explicit Program(int count, bool withSettings = true, FaultInjector faults = {})
        : files(std::move(faults)) {
        TestFolder::write(folder.program() + "/PUBLISHERS.TXT",
                          TestFolder::read(TestFolder::sourceFolder() + "/data/PUBLISHERS.TXT"));
        TestFolder::write(folder.clientFile(), clients(count));
        if (withSettings) {
            session.Settings.WriteINIFilePath(folder.data());
        }
        menu = std::make_unique<FrmMainMenu>(
            session, fake.services,
            MainMenuOptions{
                1, 1,
                [this](QWidget*, const QString&) { return QString::fromStdString(browsedTo); },
                [this](QWidget*) { return QString::fromStdString(exportTo); }});
    }

    bool start() {
        if (!menu->StartUp()) {
            return false;
        }
        menu->show();
        menu->activateWindow();
        return QTest::qWaitForWindowActive(menu.get());
    }

    QListWidget* list() const { return menu->findChild<QListWidget*>("lbNameDisplay"); }
    QPushButton* choice(int i) const {
        return menu->findChild<QPushButton*>(MenuChoice::buttonName(i));
    }
    // The highlighted choice; -1 when none is, -2 when more than one is.
    int lit() const {
        int found = -1;
        for (int i = 0; i < 4; ++i) {
            if (menu->findChild<MenuChoice*>(MenuChoice::panelName(i))->highlighted()) {
                found = found == -1 ? i : -2;
            }
        }
        return found;
    }
    QString msgPanel() const { return test::MsgPanel(*menu); }
    QAction* action(const char* name) const { return menu->findChild<QAction*>(name); }
};

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void listAndChoices_data();
    void listAndChoices();
    void choiceChecksBeforeItsScreens_data();
    void choiceChecksBeforeItsScreens();
    void dataLocationDialog_data();
    void dataLocationDialog();
    void exportScoresFromTheOptionsMenu();
    void missingProgramFileAtStartUp();
    void helpOpensTheGuideAtTheScreensSection_data();
    void helpOpensTheGuideAtTheScreensSection();
    void numLockOptionToggledTwice();
    void activationClosesOtherScreensExceptDuringEdit();
};

// A location that cannot be written opens for reading: what would write is off, with the
// reason in the prompt line. An empty list hands the focus on to the next choice that can be
// made.
void MainMenuTest::listAndChoices_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("focusTo");
    QTest::newRow("writable") << 12 << false << -1;
    QTest::newRow("read only") << 12 << true << -1;
    QTest::newRow("empty, read only") << 0 << true << int(FrmMainMenu::SupervisorChoice);
}

void MainMenuTest::listAndChoices() {
    QFETCH(int, count);
    QFETCH(bool, readOnly);
    QFETCH(int, focusTo);
    Program program(count, true,
                    readOnly ? test::FailOn(FileOp::Write, "/data/", EROFS) : FaultInjector{});
    for (int i = 0; i < 3; ++i) {
        program.menu->setChoiceScreens(i, [] {});
    }
    QVERIFY(program.start());
    program.list()->setFocus(Qt::TabFocusReason);
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(program.choice(i)->isEnabled(), !readOnly || i >= FrmMainMenu::SupervisorChoice);
    }
    QVERIFY(!program.choice(FrmMainMenu::EditChoice)->isEnabled());
    if (count == 0) {
        QTRY_VERIFY(program.choice(focusTo)->hasFocus());
        QCOMPARE(program.lit(), focusTo);
        QCOMPARE(program.session.CurrentClient, 0);
        return;
    }
    QCOMPARE(program.list()->item(11)->text(), QStringLiteral("12-CLIENT 12") + QString(16, ' '));
    QCOMPARE(program.msgPanel().contains("read only"), readOnly);
    auto* frame = Child<QGroupBox>(program.menu.get(), "fraClient");
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0, 255, 255));
    QTest::keyClick(program.list(), Qt::Key_Down);  // with none chosen, Down chooses the first
    QCOMPARE(program.session.CurrentClient, 1);
    QTest::keyClick(program.list(), Qt::Key_End);
    QCOMPARE(program.session.CurrentClient, 12);
    QCOMPARE(program.choice(FrmMainMenu::EditChoice)->isEnabled(), !readOnly);
    program.choice(FrmMainMenu::SupervisorChoice)->setFocus(Qt::TabFocusReason);
    QCOMPARE(program.msgPanel().contains("read only"), readOnly);
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0, 0, 255));
}

// A choice checks the location first: it takes in what another program added, or ends the
// program when the disk is another. As the program wires the menu, a 52nd client and the edit
// of a damaged record are refused before any screen. After its screens the client chosen
// before is chosen again, unless they added one: then that one.
void MainMenuTest::choiceChecksBeforeItsScreens_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("change");  // added by the screens, grown or shrunk on disk
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("chosen");  // 0: the screens were not run
    const int add = FrmMainMenu::AddChoice;
    QTest::newRow("another program added one") << 2 << add << "grown" << QStringList{} << 2;
    QTest::newRow("one added") << 2 << add << "added" << QStringList{} << 3;
    QTest::newRow("the location's first added") << 0 << add << "added" << QStringList{} << 1;
    QTest::newRow("52nd client") << 51 << add << "" << QStringList{"Data Disk Full"} << 0;
    QTest::newRow("damaged record")
        << 2 << int(FrmMainMenu::EditChoice) << "" << QStringList{"Damaged Record"} << 0;
    QTest::newRow("another disk") << 2 << int(FrmMainMenu::SupervisorChoice) << "shrunk"
                                  << QStringList{"Data Disk Changed", "Data Disk Not Found"} << 0;
}

void MainMenuTest::choiceChecksBeforeItsScreens() {
    QFETCH(int, count);
    QFETCH(int, choice);
    QFETCH(QString, change);
    QFETCH(QStringList, titles);
    QFETCH(int, chosen);
    Program program(count);
    std::string bytes = clients(count);
    if (count > 1) {
        bytes[185 + 74] = '9';  // an answer no sheet has: client 2's record is damaged
    }
    TestFolder::write(program.folder.clientFile(), bytes);
    WireMainMenu(*program.menu, program.session, program.fake.services);
    bool frameShownDuring = true;
    if (chosen > 0) {
        program.menu->setChoiceScreens(choice, [&] {
            frameShownDuring = Child(program.menu.get(), "frMainMenu")->isVisible();
            if (change == "added") {
                program.session.Clients.NewClient(ClientRecord::fromBytes(test::RecordBytes("N")));
                program.session.CurrentClient = program.session.Clients.CommitNewClient();
            }
        });
    }
    QVERIFY(program.start());
    program.list()->setCurrentRow(std::min(count, 2) - 1);
    if (change == "grown" || change == "shrunk") {
        bytes = change == "grown" ? bytes + test::RecordBytes("CLIENT 3") : clients(1);
        TestFolder::write(program.folder.clientFile(), bytes);
    }
    for (int i = 0; i < titles.size(); ++i) {
        program.messages.answer(MsgAnswer::OK);
    }
    QTimer guard;  // a screen opened where none may be fails the test
    connect(&guard, &QTimer::timeout, [] {
        if (auto* screen = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            QTest::qFail(qPrintable(screen->objectName() + " opened"), __FILE__, __LINE__);
            screen->done(QDialog::Rejected);
        }
    });
    guard.start(20);
    test::Play(*program.menu, QStringLiteral("[cmdMenuChoice_%1]\r").arg(choice));
    QStringList shown;
    for (const Message& message : program.messages.shown) {
        shown << QString::fromStdString(message.title);
    }
    QCOMPARE(shown, titles);
    QCOMPARE(program.menu->programEnded(), change == "shrunk");
    if (chosen == 0) {
        QCOMPARE(TestFolder::read(program.folder.clientFile()), bytes);
        return;
    }
    QVERIFY(!frameShownDuring);
    QVERIFY(Child(program.menu.get(), "frMainMenu")->isVisible());
    QCOMPARE(program.list()->count(), count + 1);
    QCOMPARE(program.list()->currentRow(), chosen - 1);
    QVERIFY(program.list()->currentItem()->isSelected());
    QCOMPARE(program.session.CurrentClient, chosen);
    QVERIFY(program.choice(FrmMainMenu::EditChoice)->isEnabled());
}

// A FilePath that cannot be opened asks at start-up; the dialog stands on the user's own
// folder then, and on the location in use from the menu. Giving up (Escape) goes on in the
// user's own folder; only a folder chosen is stored, so that the user follows an
// administrator's later FilePath.
void MainMenuTest::dataLocationDialog_data() {
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<QString>("keys");  // in the dialog; none: the question answered No
    QTest::newRow("missing at start, a folder chosen") << true << "[cmdBrowse]\r[cmdDone]\r";
    QTest::newRow("missing at start, Escape") << true << "[cmdDone]\x1b";
    QTest::newRow("missing at start, No") << true << "";
    QTest::newRow("Change Data Drive, help, a folder chosen")
        << false << "[cmdhelp]\r[cmdBrowse]\r[cmdDone]\r";
}

void MainMenuTest::dataLocationDialog() {
    QFETCH(bool, atStart);
    QFETCH(QString, keys);
    Program program(4, !atStart);
    const std::string own = program.session.OwnDataPath;
    const std::string gone = program.folder.root() + "/Gone";
    program.browsedTo = program.folder.root() + "/other";
    QVERIFY(QDir().mkpath(QString::fromStdString(program.browsedTo)));
    TestFolder::write(program.browsedTo + "/DATA401.QLM", clients(1));
    std::vector<Message> expected;
    if (atStart) {
        program.session.Settings.WriteINIFilePath(gone);
        program.messages.answer(keys.isEmpty() ? MsgAnswer::No : MsgAnswer::Yes);
        expected.push_back(NoTestInformationMessage(gone));
    } else {
        QVERIFY(program.start());
        program.messages.answer(MsgAnswer::OK);
        expected.push_back(DriveHelpMessage());
    }
    std::string preselected = "<no dialog>";
    if (!keys.isEmpty()) {
        OnModal<QDialog>([&](QDialog& dialog) {
            preselected = Child<QComboBox>(&dialog, "drDrive")->currentText().toStdString();
            test::Play(dialog, keys);
        });
    }
    if (atStart) {
        QCOMPARE(program.start(), !keys.isEmpty());
    } else {
        program.action("mnuDriveSelect")->trigger();
    }
    QCOMPARE(program.messages.shown, expected);
    QCOMPARE(preselected, keys.isEmpty() ? "<no dialog>" : atStart ? own : program.folder.data());
    if (!keys.isEmpty()) {
        const bool chosen = keys.contains("Browse");
        QCOMPARE(program.session.DataPath, chosen ? program.browsedTo : own);
        QCOMPARE(program.list()->count(), chosen ? 1 : 0);
        QCOMPARE(program.session.Settings.GetINIFilePath(), chosen ? program.browsedTo : gone);
    }
}

// Export Scores asks for the secret code, then writes once the access log holds its line;
// without the scoring tables it says so and writes nothing; a code not given exports nothing.
void MainMenuTest::exportScoresFromTheOptionsMenu() {
    Program program(2);
    QVERIFY(program.start());
    program.exportTo = program.folder.root() + "/scores.csv";
    const auto exportWith = [&](const char* keys) {
        OnModal<QDialog>([keys](QDialog& box) { test::Play(box, keys); });
        program.action("mnuExportScores")->trigger();
    };
    exportWith("[close]");
    program.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK);
    exportWith("[txtInput]q\r\r");
    QVERIFY(!QFile::exists(QString::fromStdString(program.exportTo)));
    program.folder.installBuiltDataFiles();
    exportWith("[txtInput]q\r\r");
    QCOMPARE(program.messages.shown.size(), std::size_t(2));
    QCOMPARE(program.messages.shown[0].icon, MsgIcon::Critical);
    QCOMPARE(QString::fromStdString(program.messages.shown[1].text),
             QString::fromStdString("The scores of 2 clients were written to " + program.exportTo +
                                    "."));
    QVERIFY(TestFolder::read(program.exportTo).find("\r\n2,CLIENT 2,") != std::string::npos);
    const QString log =
        QString::fromStdString(TestFolder::read(program.folder.data() + "/access.log"));
    QVERIFY(log.endsWith("\tquillmere\texport\t1-2\n") && log.count("\texport\t") == 1);
}

// The message names the missing file, not the data disk; OK tries again.
void MainMenuTest::missingProgramFileAtStartUp() {
    Program program(2);
    const std::string path = program.folder.program() + "/PUBLISHERS.TXT";
    QVERIFY(QFile::remove(QString::fromStdString(path)));
    program.messages.answer(MsgAnswer::OK).answer(MsgAnswer::Cancel);
    QVERIFY(!program.menu->StartUp());
    QCOMPARE(program.messages.shown.size(), std::size_t(2));
    QCOMPARE(program.messages.shown[1].title, std::string("Program File Error"));
    QVERIFY(program.messages.shown[1].text.starts_with("The program file " + path +
                                                       " cannot be read."));
    QVERIFY(program.messages.shown[1].text.find("Error 53:") != std::string::npos);
}

// F1 opens the guide at the section of the screen it is pressed on; never over the on-screen
// test, whose juvenile is not to reach a browser or the guide's secret code.
void MainMenuTest::helpOpensTheGuideAtTheScreensSection_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("section");  // "-": nothing opened
    const auto row = [](const char* tag, const char* where, const char* section) {
        QTest::newRow(tag) << QString(where) << QString(section);
    };
    row("F1 on the main menu", "menu", "main-menu");
    row("Help > User Guide", "guide", "");
    row("F1 on the about box", "about", "about-box");
    row("F1 over the on-screen test", "test", "-");
    row("no guide installed", "missing", "-");
}

void MainMenuTest::helpOpensTheGuideAtTheScreensSection() {
    QFETCH(QString, where);
    QFETCH(QString, section);
    Program program(1);
    const std::string guide = program.session.GuideFile;
    if (where != "missing") {
        QVERIFY(QDir().mkpath(QFileInfo(QString::fromStdString(guide)).path()));
        TestFolder::write(guide, "<html></html>");
    } else {
        program.messages.answer(MsgAnswer::OK);
    }
    QVERIFY(program.start());
    QDialog test;
    if (where == "guide") {
        program.action("mnuHelpGuide")->trigger();
    } else if (where == "about") {
        OnModal<QDialog>([](QDialog& about) { QTest::keyClick(&about, Qt::Key_F1); });
        program.action("mnuHelpMenuAbout")->trigger();
    } else {
        if (where == "test") {
            test.setObjectName("frmPresentQA");
            test.show();
        }
        QTest::keyClick(program.list(), Qt::Key_F1);
    }
    const std::vector<QUrl>& opened = program.fake.browser.opened;
    QCOMPARE(opened.size(), std::size_t(section == "-" ? 0 : 1));
    if (section != "-") {
        // A file URL, its folder's blank and "#" encoded, and the section as its fragment.
        QCOMPARE(opened[0].toEncoded(),
                 QByteArray::fromStdString("file://" + program.folder.root() +
                                           "/doc%20%231/user-guide.html") +
                     (section.isEmpty() ? "" : "#" + section.toLatin1()));
    }
    QCOMPARE(program.messages.shown, where == "missing"
                                         ? std::vector<Message>{NoGuideMessage(guide)}
                                         : std::vector<Message>{});
}

void MainMenuTest::numLockOptionToggledTwice() {
    Program program(1);
    QVERIFY(program.start());
    QAction* numLock = program.action("mnuOptionsNumLock");
    QVERIFY(numLock->isChecked());
    numLock->trigger();
    QVERIFY(!numLock->isChecked() && !program.menu->NumLockOption());
    QVERIFY(!program.session.Settings.ReadNumLockSetting());
    numLock->trigger();
    QVERIFY(numLock->isChecked() && program.session.Settings.ReadNumLockSetting());
    QVERIFY(Child<QTimer>(program.menu.get(), "timNumLock")->isActive());
}

void MainMenuTest::activationClosesOtherScreensExceptDuringEdit() {
    Program program(2);
    QWidget stray;
    bool strayKeptDuringEdit = false;
    program.menu->setChoiceScreens(FrmMainMenu::EditChoice, [&] {
        stray.show();
        program.menu->Activate();
        strayKeptDuringEdit = stray.isVisible();
    });
    QVERIFY(program.start());
    program.list()->setCurrentRow(1);
    test::Play(*program.menu, "[cmdMenuChoice_0]\r");
    QVERIFY(strayKeptDuringEdit);
    QVERIFY(!stray.isVisible());  // once the edit sequence is over the menu is alone again
    QVERIFY(program.choice(FrmMainMenu::EditChoice)->hasFocus());
    QCOMPARE(program.lit(), FrmMainMenu::EditChoice);

    // A return from another window is no activation; one of the program's screens closing is.
    QCoreApplication::processEvents();  // the activation due since the edit's screens closed
    stray.show();
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    program.menu->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.menu.get()));
    QVERIFY(stray.isVisible());
    QDialog screen(program.menu.get());
    screen.show();
    screen.close();
    QTRY_VERIFY(!stray.isVisible());
}

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"

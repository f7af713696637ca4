#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/FrmDriveSelect.h"
#include "app/FrmMainMenu.h"
#include "session/DriveSelect.h"
#include "session/Session.h"
#include "session/Settings.h"
#include "support/FakeServices.h"
#include "support/TestFolder.h"
#include "ui/Help.h"
#include "ui/MenuChoice.h"

using namespace qlm;
using qlm::test::FakeMessages;
using qlm::test::FakeServices;
using qlm::test::TestFolder;

namespace {

std::string clients(int count) {
    std::string bytes;
    for (int n = 1; n <= count; ++n) {
        bytes += test::RecordBytes("CLIENT " + std::to_string(n));
    }
    return bytes;
}

// Runs `act` on the modal screen once it is up; a screen that never comes fails the test.
void whenModal(const std::function<void(QWidget*)>& act, int triesLeft = 300) {
    QTimer::singleShot(10, [act, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        } else if (triesLeft > 0) {
            whenModal(act, triesLeft - 1);
        } else {
            QTest::qFail("no modal screen came up", __FILE__, __LINE__);
        }
    });
}

void press(QWidget* widget, Qt::Key key) {
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, key);
}

// The user's own folders of a test: its data location (not there yet) and its guide.
UserFolders ownFolders(const TestFolder& folder) {
    UserFolders user;
    user.location = folder.root() + "/home/.local/share/quillmere/data";
    user.guide = folder.root() + "/doc #1/user-guide.html";
    return user;
}

// A program folder with the publisher file, a data location of `count` clients (that only
// `injector` may refuse), the settings naming it unless told otherwise, and the main menu over
// them.
struct Program {
    TestFolder folder;
    FileSystem files;
    Session session{files, folder.program(), ownFolders(folder)};
    Settings& settings = session.Settings;
    FakeServices fake;
    FakeMessages& messages = fake.messages;
    std::string browsedTo;
    std::string exportTo;
    std::unique_ptr<FrmMainMenu> menu;

    explicit Program(int count, bool withSettings = true, FaultInjector injector = {})
        : files(std::move(injector)) {
        TestFolder::write(folder.program() + "/PUBLISHERS.TXT",
                          TestFolder::read(TestFolder::sourceFolder() + "/data/PUBLISHERS.TXT"));
        TestFolder::write(folder.clientFile(), clients(count));
        if (withSettings) {
            settings.WriteINIFilePath(folder.data());
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

    // Chooses `where` in the open data location dialog through "Browse..." and "Done".
    void choose(QWidget* modal, const std::string& where) {
        if (qobject_cast<FrmDriveSelect*>(modal) == nullptr) {
            QTest::qFail("the data location dialog is not the modal screen", __FILE__, __LINE__);
            modal->close();
            return;
        }
        browsedTo = where;
        press(modal->findChild<QPushButton*>("cmdBrowse"), Qt::Key_Return);
        press(modal->findChild<QPushButton*>("cmdDone"), Qt::Key_Return);
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
    QString msgPanel() const { return menu->findChild<QLabel*>("MsgPanel")->text(); }
    QString location() const { return menu->findChild<QLabel*>("lblDataLocation")->text(); }
    QAction* action(const char* name) const { return menu->findChild<QAction*>(name); }
};

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void startUpListsTheClients_data();
    void startUpListsTheClients();
    void emptyListSendsTheFocusToAddNewClient();
    void onlyEnterOnExitEndsTheProgram();
    void choiceRunsItsScreensAfterTheCheck_data();
    void choiceRunsItsScreensAfterTheCheck();
    void changedClientFileEndsTheProgram();
    void firstStartWithoutSettings_data();
    void firstStartWithoutSettings();
    void changeDataDriveLoadsTheOtherLocation();
    void exportScoresFromTheOptionsMenu();
    void missingProgramFileAtStartUp();
    void helpOpensTheGuideAtTheScreensSection_data();
    void helpOpensTheGuideAtTheScreensSection();
    void numLockOptionToggledTwice();
    void activationClosesOtherScreensExceptDuringEdit();
};

// A location that cannot be written opens for reading: its clients are listed, and what
// would write is off, with the reason in the prompt line.
void MainMenuTest::startUpListsTheClients_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("writable") << false;
    QTest::newRow("read only") << true;
}

void MainMenuTest::startUpListsTheClients() {
    QFETCH(bool, readOnly);
    Program program(12, true,
                    readOnly ? test::FailOn(FileOp::Write, "/data/", EROFS) : FaultInjector{});
    // Client 2 answered as the third demo client did, in the top range of three scales; client
    // 3 as well but for an answer that damages its record.
    program.folder.installBuiltDataFiles();
    std::string bytes = clients(12);
    const std::string demo = TestFolder::read(TestFolder::sourceFolder() + "/demo/DATA401.QLM");
    bytes.replace(185 + 25, 160, demo.substr(2 * 185 + 25, 160));
    bytes.replace(2 * 185 + 25, 160, demo.substr(2 * 185 + 25, 160));
    bytes[2 * 185 + 74] = '9';
    TestFolder::write(program.folder.clientFile(), bytes);
    for (int i = 0; i < 3; ++i) {
        program.menu->setChoiceScreens(i, [] {});
    }
    QVERIFY(program.start());
    QCOMPARE(program.menu->windowTitle(), QStringLiteral("Quillmere"));
    QCOMPARE(program.list()->count(), 12);
    QCOMPARE(program.list()->item(0)->text(), QStringLiteral("1-CLIENT 1") + QString(17, ' '));
    QCOMPARE(program.list()->item(11)->text(), QStringLiteral("12-CLIENT 12") + QString(16, ' '));
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(program.list()->item(row)->data(Qt::AccessibleDescriptionRole).toString(),
                 row == 1 ? QStringLiteral("High risk: Drugs, Violence, Antisocial") : QString());
    }
    QVERIFY(program.messages.shown.empty());
    QCOMPARE(program.session.QuestionBankPath, program.folder.program() + "/QLMtest.db");
    QCOMPARE(program.settings.read("Options", "SystemDB", "", 300),
             program.folder.program() + "/tvnsys.mda");
    QCOMPARE(program.location(), QStringLiteral("Data location: %1%2 \u2014 12 of 51 clients")
                                     .arg(QString::fromStdString(program.folder.data()),
                                          readOnly ? QStringLiteral(" (read only)") : QString()));

    program.list()->setFocus(Qt::TabFocusReason);
    QCOMPARE(program.msgPanel(),
             readOnly ? QStringLiteral("Use up or down arrow keys or mouse to select client. This "
                                       "location is read only: clients cannot be added or edited.")
                      : QStringLiteral("Use up or down arrow keys or mouse to select client."));
    auto* frame = program.menu->findChild<QGroupBox*>("fraClient");
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0, 255, 255));
    QVERIFY(frame->font().bold());
    QVERIFY(!program.choice(0)->isEnabled());
    QTest::keyClick(program.list(), Qt::Key_Down);  // with none chosen, Down chooses the first
    QCOMPARE(int(program.session.CurrentClient), 1);
    QTest::keyClick(program.list(), Qt::Key_End);
    QCOMPARE(int(program.session.CurrentClient), 12);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(program.choice(i)->isEnabled(), !readOnly || i >= FrmMainMenu::SupervisorChoice);
    }
    program.choice(2)->setFocus(Qt::TabFocusReason);
    QCOMPARE(program.msgPanel().contains("read only"), readOnly);
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0, 0, 255));
    QVERIFY(!frame->font().bold());
}

void MainMenuTest::emptyListSendsTheFocusToAddNewClient() {
    Program program(0);
    program.menu->setChoiceScreens(FrmMainMenu::EditChoice, [] {});
    program.menu->setChoiceScreens(FrmMainMenu::AddChoice, [] {});
    QVERIFY(program.start());
    QCOMPARE(int(program.session.CurrentClient), 0);
    program.list()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(program.choice(1)->hasFocus());
    QCOMPARE(program.lit(), 1);
    QCOMPARE(program.msgPanel(), QStringLiteral("Enter a new client. Test client on computer or "
                                                "enter data from answer sheet."));
    QVERIFY(!program.choice(0)->isEnabled());
}

// The arrows are the menu choices' own (MenuChoiceTest); the prompts are walked by the
// acceptance test of the main menu.
void MainMenuTest::onlyEnterOnExitEndsTheProgram() {
    Program program(2);
    QVERIFY(program.start());
    program.choice(3)->setFocus(Qt::TabFocusReason);
    QCOMPARE(program.lit(), 3);
    QCOMPARE(program.msgPanel(), QStringLiteral("Quit the program."));
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Q, Qt::Key_3, Qt::Key_Escape}) {
        QTest::keyClick(program.choice(3), key);
    }
    QVERIFY(!program.menu->programEnded());
    QTest::keyClick(program.choice(3), Qt::Key_Return);
    QVERIFY(program.menu->programEnded());
    QVERIFY(!program.menu->isVisible());
}

// The client chosen before is chosen after the screens, unless they added one: then that one.
void MainMenuTest::choiceRunsItsScreensAfterTheCheck_data() {
    QTest::addColumn<int>("clients");
    QTest::addColumn<bool>("added");
    QTest::addColumn<int>("chosen");
    QTest::newRow("another program added one") << 2 << false << 2;
    QTest::newRow("one added") << 2 << true << 3;
    QTest::newRow("the location's first added") << 0 << true << 1;
}

void MainMenuTest::choiceRunsItsScreensAfterTheCheck() {
    QFETCH(int, clients);
    QFETCH(bool, added);
    QFETCH(int, chosen);
    Program program(clients);
    bool frameShownDuring = true;
    program.menu->setChoiceScreens(FrmMainMenu::EditChoice, [] {});
    program.menu->setChoiceScreens(FrmMainMenu::AddChoice, [&] {
        frameShownDuring = program.menu->findChild<QFrame*>("frMainMenu")->isVisible();
        if (added) {
            program.session.CurrentClient = program.session.Clients.NewClient(
                ClientRecord::fromBytes(test::RecordBytes("NEW")));
            program.session.CurrentClient = program.session.Clients.CommitNewClient();
        }
    });
    QVERIFY(program.start());
    program.list()->setCurrentRow(clients - 1);
    if (!added) {
        // Another program added a client: the check takes it in.
        TestFolder::write(program.folder.clientFile(), ::clients(clients + 1));
    }
    press(program.choice(1), Qt::Key_Return);
    QVERIFY(!frameShownDuring);
    QVERIFY(program.menu->findChild<QFrame*>("frMainMenu")->isVisible());
    QCOMPARE(program.list()->count(), clients + 1);
    QCOMPARE(program.list()->currentRow(), chosen - 1);
    QVERIFY(program.list()->currentItem()->isSelected());
    QCOMPARE(int(program.session.CurrentClient), chosen);
    QVERIFY(program.choice(FrmMainMenu::EditChoice)->isEnabled());
    QVERIFY(program.messages.shown.empty());
}

void MainMenuTest::changedClientFileEndsTheProgram() {
    Program program(2);
    int runs = 0;
    program.menu->setChoiceScreens(FrmMainMenu::SupervisorChoice, [&] { ++runs; });
    QVERIFY(program.start());
    TestFolder::write(program.folder.clientFile(), clients(1));
    program.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK);
    press(program.choice(2), Qt::Key_Return);
    QCOMPARE(runs, 0);
    QVERIFY(program.menu->programEnded());
    QCOMPARE(program.messages.shown,
             (std::vector<Message>{DataDiskChangedMessage(), DataDiskStillNotFoundMessage()}));
}

// A FilePath that names no folder here opens the user's own, silently; one that cannot be
// opened asks, and giving up (Escape in the dialog) goes on in the user's own folder too. Only
// a folder chosen is stored, so that the user follows an administrator's later FilePath.
void MainMenuTest::firstStartWithoutSettings_data() {
    QTest::addColumn<QString>("filePath");  // "-": none; "gone": a folder that is not there
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("dialog");  // what is done in the dialog, if it comes
    QTest::addColumn<QString>("opened");  // own, data, or "" when the program ends
    QTest::newRow("no settings") << "-"
                                 << ""
                                 << ""
                                 << "own";
    QTest::newRow("a drive letter") << "a:"
                                    << ""
                                    << ""
                                    << "own";
    QTest::newRow("missing folder, Yes, a folder chosen") << "gone"
                                                          << "Y"
                                                          << "choose"
                                                          << "data";
    QTest::newRow("missing folder, Yes, Escape") << "gone"
                                                 << "Y"
                                                 << "escape"
                                                 << "own";
    QTest::newRow("missing folder, No") << "gone"
                                        << "N"
                                        << ""
                                        << "";
}

void MainMenuTest::firstStartWithoutSettings() {
    QFETCH(QString, filePath);
    QFETCH(QString, answer);
    QFETCH(QString, dialog);
    QFETCH(QString, opened);
    Program program(4, false);
    const std::string own = program.session.OwnDataPath;
    const std::string gone = program.folder.root() + "/Gone";
    if (filePath != "-") {
        program.settings.WriteINIFilePath(filePath == "gone" ? gone : filePath.toStdString());
    }
    const std::string stored = program.settings.GetINIFilePath();
    if (!answer.isEmpty()) {
        program.messages.answer(answer == "Y" ? MsgAnswer::Yes : MsgAnswer::No);
    }
    std::string preselected = "<no dialog>";
    if (!dialog.isEmpty()) {
        whenModal([&](QWidget* modal) {
            if (auto* combo = modal->findChild<QComboBox*>("drDrive")) {
                preselected = combo->currentText().toStdString();
            }
            if (dialog == "choose") {
                program.choose(modal, program.folder.data());
            } else {
                press(modal->findChild<QPushButton*>("cmdDone"), Qt::Key_Escape);
            }
        });
    }
    QCOMPARE(program.start(), !opened.isEmpty());
    QCOMPARE(program.messages.shown, filePath == "gone"
                                         ? std::vector<Message>{NoTestInformationMessage(gone)}
                                         : std::vector<Message>{});
    QCOMPARE(preselected, dialog.isEmpty() ? "<no dialog>" : own);
    if (opened.isEmpty()) {
        return;
    }
    const std::string where = opened == "own" ? own : program.folder.data();
    QCOMPARE(program.session.DataPath, where);
    QCOMPARE(program.list()->count(), opened == "own" ? 0 : 4);
    QCOMPARE(program.settings.GetINIFilePath(), opened == "own" ? stored : where);
    QVERIFY(program.location().startsWith(QString::fromStdString("Data location: " + where)));
}

void MainMenuTest::changeDataDriveLoadsTheOtherLocation() {
    Program program(3);
    QVERIFY(program.start());
    const std::string other = program.folder.root() + "/other";
    QVERIFY(QDir().mkpath(QString::fromStdString(other)));
    TestFolder::write(other + "/DATA401.QLM", clients(1));
    program.messages.answer(MsgAnswer::OK);
    whenModal([&](QWidget* modal) {
        // The dialog opens on the location in use.
        auto* combo = modal->findChild<QComboBox*>("drDrive");
        if (combo == nullptr || combo->currentText().toStdString() != program.folder.data()) {
            QTest::qFail("the drive list does not stand on the location in use", __FILE__,
                         __LINE__);
        }
        press(modal->findChild<QPushButton*>("cmdhelp"), Qt::Key_Return);
        program.choose(modal, other);
    });
    program.action("mnuDriveSelect")->trigger();
    QCOMPARE(program.messages.shown.at(0), DriveHelpMessage());
    QCOMPARE(program.list()->count(), 1);
    QCOMPARE(program.session.DataPath, other);
    QCOMPARE(program.settings.GetINIFilePath(), other);
}

// Options > Export Scores... asks for the secret code, then writes the header and one row per
// client once the access log holds its line; without the scoring tables it says so and writes
// nothing, and a refused code exports nothing.
void MainMenuTest::exportScoresFromTheOptionsMenu() {
    Program program(2);
    QVERIFY(program.start());
    program.exportTo = program.folder.root() + "/scores.csv";
    const std::string log = program.folder.data() + "/access.log";
    const auto exportWith = [&](const char* code) {
        whenModal([code](QWidget* box) {
            if (*code == '\0') {
                box->close();
                return;
            }
            QTest::keyClicks(box->findChild<QLineEdit*>("txtInput"), code);
            QTest::keyClick(box->findChild<QLineEdit*>("txtInput"), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        program.action("mnuExportScores")->trigger();
    };
    exportWith("");
    QVERIFY(program.messages.shown.empty());
    program.messages.answer(MsgAnswer::OK);
    exportWith("q");
    QCOMPARE(program.messages.shown.at(0).title, std::string("Export Scores"));
    QCOMPARE(program.messages.shown[0].icon, MsgIcon::Critical);
    QVERIFY(!QFile::exists(QString::fromStdString(program.exportTo)));
    QVERIFY(!QFile::exists(QString::fromStdString(log)));

    program.folder.installBuiltDataFiles();
    program.messages.answer(MsgAnswer::OK);
    exportWith("q");
    QCOMPARE(program.messages.shown.at(1).text,
             "The scores of 2 clients were written to " + program.exportTo + ".");
    const std::string csv = TestFolder::read(program.exportTo);
    QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 3);
    QVERIFY(csv.find("\r\n2,CLIENT 2,") != std::string::npos);
    QVERIFY(QString::fromStdString(TestFolder::read(log)).endsWith("\tquillmere\texport\t1-2\n"));
}

void MainMenuTest::missingProgramFileAtStartUp() {
    Program program(2);
    QVERIFY(QFile::remove(QString::fromStdString(program.folder.program() + "/PUBLISHERS.TXT")));
    program.messages.answer(MsgAnswer::OK).answer(MsgAnswer::Cancel);
    QVERIFY(!program.menu->StartUp());
    // The message names the missing file, not the data disk; OK tries again.
    const std::string path = program.folder.program() + "/PUBLISHERS.TXT";
    QCOMPARE(program.messages.shown.size(), std::size_t(2));
    QCOMPARE(program.messages.shown[1].title, std::string("Program File Error"));
    QVERIFY(program.messages.shown[1].text.find("The program file " + path + " cannot be read.") ==
            0);
    QVERIFY(program.messages.shown[1].text.find("Error 53:") != std::string::npos);
}

// F1 opens the guide at the section of the screen it is pressed on; never over the on-screen
// test, whose juvenile is not to reach a browser or the guide's secret code.
void MainMenuTest::helpOpensTheGuideAtTheScreensSection_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("section");  // "-": nothing opened
    QTest::newRow("F1 on the main menu") << "menu"
                                         << "main-menu";
    QTest::newRow("Help > User Guide") << "guide"
                                       << "";
    QTest::newRow("F1 on the about box") << "about"
                                         << "about-box";
    QTest::newRow("F1 over the on-screen test") << "test"
                                                << "-";
    QTest::newRow("no guide installed") << "missing"
                                        << "-";
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
        whenModal([](QWidget* about) {
            QTest::keyClick(about, Qt::Key_F1);
            QTest::keyClick(about, Qt::Key_Escape);
        });
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
    QVERIFY(numLock->isChecked() && program.menu->NumLockOption());
    numLock->trigger();
    QVERIFY(!numLock->isChecked() && !program.menu->NumLockOption());
    QCOMPARE(program.settings.read("Settings", "NumLock", "", 10), std::string("False"));
    numLock->trigger();
    QVERIFY(numLock->isChecked() && program.menu->NumLockOption());
    QCOMPARE(program.settings.read("Settings", "NumLock", "", 10), std::string("True"));
    QVERIFY(program.menu->findChild<QTimer*>("timNumLock")->isActive());
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
    press(program.choice(0), Qt::Key_Return);
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

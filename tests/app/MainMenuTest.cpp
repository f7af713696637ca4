#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/DriveSelect.h"
#include "app/FrmDriveSelect.h"
#include "app/FrmMainMenu.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "support/FakeMessages.h"
#include "support/TestFolder.h"
#include "ui/MenuChoice.h"

using namespace qlm;
using qlm::test::FakeMessages;
using qlm::test::TestFolder;

namespace {

const QColor CyanRgb(0, 255, 255);

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

// Chooses `folder` in the open data location dialog through "Browse..." and "Done".
void chooseInDialog(QWidget* modal, const std::string& folder, std::string* browsedTo) {
    auto* dialog = qobject_cast<FrmDriveSelect*>(modal);
    if (dialog == nullptr) {
        QTest::qFail("the data location dialog is not the modal screen", __FILE__, __LINE__);
        modal->close();
        return;
    }
    *browsedTo = folder;
    auto* browse = dialog->findChild<QPushButton*>(QStringLiteral("cmdBrowse"));
    browse->setFocus();
    QTest::keyClick(browse, Qt::Key_Return);
    auto* done = dialog->findChild<QPushButton*>(QStringLiteral("cmdDone"));
    done->setFocus();
    QTest::keyClick(done, Qt::Key_Return);
}

// A program folder with the publisher file, a data location of `count` clients, the settings
// naming it, and the main menu over them.
struct Program {
    TestFolder folder;
    FileSystem files;
    Session session{files, folder.program()};
    Settings settings{files, folder.program()};
    FakeMessages messages;
    std::string browsedTo;
    std::unique_ptr<FrmMainMenu> menu;

    explicit Program(int count, bool withSettings = true) {
        TestFolder::write(folder.program() + "/PUBLISHERS.TXT",
                          TestFolder::read(TestFolder::sourceFolder() + "/data/PUBLISHERS.TXT"));
        TestFolder::write(folder.clientFile(), clients(count));
        if (withSettings) {
            settings.WriteINIFilePath(folder.data());
        }
        MainMenuOptions options;
        options.revealTickMs = 1;
        options.closeTickMs = 1;
        options.folderPicker = [this](QWidget*, const QString&) {
            return QString::fromStdString(browsedTo);
        };
        menu = std::make_unique<FrmMainMenu>(session, messages, options);
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
    QAction* action(const char* name) const { return menu->findChild<QAction*>(name); }
};

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void startUpListsTheClients();
    void selectingAClientSetsCurrentClient_data();
    void selectingAClientSetsCurrentClient();
    void choicesWithoutScreensStayDisabled();
    void emptyListSendsTheFocusToAddNewClient();
    void arrowsMoveOneHighlightAlongTheChoices();
    void exitRunsOnEnterOnly();
    void choiceRunsItsScreensAfterTheCheck();
    void changedClientFileEndsTheProgram();
    void firstStartWithoutSettings_data();
    void firstStartWithoutSettings();
    void changeDataDriveLoadsTheOtherLocation();
    void missingProgramFileAtStartUp_data();
    void missingProgramFileAtStartUp();
    void numLockOptionToggledTwice();
    void activationClosesOtherScreensExceptDuringEdit();
    void secondCopyBringsTheMenuToTheFront();
};

void MainMenuTest::startUpListsTheClients() {
    Program program(12);
    QVERIFY(program.start());
    QCOMPARE(program.menu->windowTitle(), QStringLiteral("Quillmere"));
    QCOMPARE(program.list()->count(), 12);
    QCOMPARE(program.list()->item(0)->text(), QStringLiteral("1-CLIENT 1") + QString(17, ' '));
    QCOMPARE(program.list()->item(8)->text().size(), 27);
    QCOMPARE(program.list()->item(11)->text(), QStringLiteral("12-CLIENT 12") + QString(16, ' '));
    QCOMPARE(program.list()->item(11)->text().size(), 28);
    QVERIFY(program.messages.shown.empty());

    QCOMPARE(program.session.QuestionBankPath, program.folder.program() + "/QLMtest.db");
    QCOMPARE(program.settings.read("Options", "SystemDB", "", 300),
             program.folder.program() + "/tvnsys.mda");
    QCOMPARE(program.session.Constants.SectionEnd, (std::array<int, 3>{0, 97, 109}));
    QCOMPARE(program.session.SoundPath, std::string("c:"));
    QVERIFY(program.session.MainMenuActive);
}

void MainMenuTest::selectingAClientSetsCurrentClient_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("current");
    QTest::newRow("End selects the two-digit record") << int(Qt::Key_End) << 12;
    QTest::newRow("Down selects the first") << int(Qt::Key_Down) << 1;
}

void MainMenuTest::selectingAClientSetsCurrentClient() {
    QFETCH(int, key);
    QFETCH(int, current);
    Program program(12);
    program.menu->setChoiceScreens(FrmMainMenu::EditChoice, [] {});
    program.menu->setChoiceScreens(FrmMainMenu::AddChoice, [] {});
    QVERIFY(program.start());
    QVERIFY(!program.choice(0)->isEnabled());

    program.list()->setFocus(Qt::TabFocusReason);
    QCOMPARE(program.msgPanel(),
             QStringLiteral("Use up or down arrow keys or mouse to select client."));
    auto* frame = program.menu->findChild<QGroupBox*>("fraClient");
    QCOMPARE(frame->palette().color(QPalette::Window), CyanRgb);
    QVERIFY(frame->font().bold());

    QVERIFY(!program.choice(0)->isEnabled());
    QTest::keyClick(program.list(), Qt::Key(key));
    QCOMPARE(int(program.session.CurrentClient), current);
    QVERIFY(program.choice(0)->isEnabled());

    program.choice(1)->setFocus(Qt::TabFocusReason);
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0, 0, 255));
    QVERIFY(!frame->font().bold());
    QVERIFY(program.msgPanel().startsWith(QStringLiteral("Enter a new client.")));
}

void MainMenuTest::choicesWithoutScreensStayDisabled() {
    Program program(3);
    QVERIFY(program.start());
    program.list()->setCurrentRow(2);
    QCOMPARE(int(program.session.CurrentClient), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(!program.choice(i)->isEnabled(), qPrintable(QString::number(i)));
    }
    QVERIFY(program.choice(3)->isEnabled());
}

void MainMenuTest::emptyListSendsTheFocusToAddNewClient() {
    Program program(0);
    program.menu->setChoiceScreens(FrmMainMenu::EditChoice, [] {});
    program.menu->setChoiceScreens(FrmMainMenu::AddChoice, [] {});
    QVERIFY(program.start());
    QCOMPARE(int(program.session.CurrentClient), 0);
    QCOMPARE(program.list()->count(), 0);
    program.list()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(program.choice(1)->hasFocus());
    QCOMPARE(program.lit(), 1);
    QCOMPARE(program.msgPanel(), QStringLiteral("Enter a new client. Test client on computer or "
                                                "enter data from answer sheet."));
    QVERIFY(!program.choice(0)->isEnabled());
}

void MainMenuTest::arrowsMoveOneHighlightAlongTheChoices() {
    Program program(2);
    for (int i = 0; i < 3; ++i) {
        program.menu->setChoiceScreens(i, [] {});
    }
    QVERIFY(program.start());
    program.list()->setCurrentRow(0);
    program.choice(0)->setFocus(Qt::TabFocusReason);
    QCOMPARE(program.lit(), 0);
    QCOMPARE(program.msgPanel(), QStringLiteral("Edit client's information."));
    QTest::keyClick(program.choice(0), Qt::Key_Tab);
    QCOMPARE(program.lit(), 1);
    QTest::keyClick(program.choice(1), Qt::Key_Down);
    QCOMPARE(program.lit(), 2);
    QCOMPARE(program.msgPanel(),
             QStringLiteral("Print client report, verify data entry or delete client names."));
    QTest::keyClick(program.choice(2), Qt::Key_Right);
    QCOMPARE(program.lit(), 3);
    QCOMPARE(program.msgPanel(), QStringLiteral("Quit the program."));
    QTest::keyClick(program.choice(3), Qt::Key_Up);
    QTest::keyClick(program.choice(2), Qt::Key_Left);
    QCOMPARE(program.lit(), 1);
    QVERIFY(program.choice(1)->hasFocus());
}

void MainMenuTest::exitRunsOnEnterOnly() {
    Program program(1);
    QVERIFY(program.start());
    program.choice(3)->setFocus(Qt::TabFocusReason);
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Q, Qt::Key_3, Qt::Key_Escape}) {
        QTest::keyClick(program.choice(3), key);
    }
    QVERIFY(!program.menu->programEnded());
    QTest::keyClick(program.choice(3), Qt::Key_Return);
    QVERIFY(program.menu->programEnded());
    QVERIFY(!program.menu->isVisible());

    Program other(1);
    QVERIFY(other.start());
    other.action("mnuExit")->trigger();
    QVERIFY(other.menu->programEnded());
}

void MainMenuTest::choiceRunsItsScreensAfterTheCheck() {
    Program program(2);
    bool activeDuring = true;
    bool frameShownDuring = true;
    bool editMode = true;
    int runs = 0;
    program.menu->setChoiceScreens(FrmMainMenu::AddChoice, [&] {
        ++runs;
        activeDuring = program.session.MainMenuActive;
        frameShownDuring = program.menu->findChild<QFrame*>("frMainMenu")->isVisible();
        editMode = program.session.EditMode;
        // The sequence takes on a client and stores it, as the new-client screens do.
        TestFolder::write(program.folder.clientFile(), clients(3));
        program.session.ClientTable[3].set(&ClientRecord::Name, "CLIENT 3");
        program.session.NumberOfClients = 3;
    });
    QVERIFY(program.start());
    program.choice(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(program.choice(1), Qt::Key_Return);
    QCOMPARE(runs, 1);
    QVERIFY(!activeDuring);
    QVERIFY(!frameShownDuring);
    QVERIFY(!editMode);
    QVERIFY(program.session.MainMenuActive);
    QVERIFY(program.menu->findChild<QFrame*>("frMainMenu")->isVisible());
    QCOMPARE(program.list()->count(), 3);
    QVERIFY(program.messages.shown.empty());
    QVERIFY(!program.menu->programEnded());
}

void MainMenuTest::changedClientFileEndsTheProgram() {
    Program program(2);
    int runs = 0;
    program.menu->setChoiceScreens(FrmMainMenu::SupervisorChoice, [&] { ++runs; });
    QVERIFY(program.start());
    TestFolder::write(program.folder.clientFile(), clients(3));
    program.messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK);
    program.choice(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(program.choice(2), Qt::Key_Return);
    QCOMPARE(runs, 0);
    QVERIFY(program.menu->programEnded());
    QCOMPARE(program.messages.shown.size(), std::size_t(2));
    QCOMPARE(program.messages.shown[0].title, std::string("Data Disk Changed"));
    QCOMPARE(program.messages.shown[1].title, std::string("Data Disk Not Found"));
}

void MainMenuTest::firstStartWithoutSettings_data() {
    QTest::addColumn<bool>("tryAnother");
    QTest::newRow("Yes, then a folder is chosen") << true;
    QTest::newRow("No") << false;
}

void MainMenuTest::firstStartWithoutSettings() {
    QFETCH(bool, tryAnother);
    Program program(4, false);
    program.messages.answer(tryAnother ? MsgAnswer::Yes : MsgAnswer::No);
    if (tryAnother) {
        whenModal([&](QWidget* modal) {
            chooseInDialog(modal, program.folder.data(), &program.browsedTo);
        });
    }
    QCOMPARE(program.start(), tryAnother);
    QCOMPARE(program.messages.shown.at(0).text,
             std::string("No test information found on drive A:, would you like to try another "
                         "drive?"));
    if (tryAnother) {
        QCOMPARE(program.list()->count(), 4);
        QCOMPARE(program.settings.GetINIFilePath(), program.folder.data());
        QCOMPARE(program.menu->NumLockOption(), true);
    }
}

void MainMenuTest::changeDataDriveLoadsTheOtherLocation() {
    Program program(3);
    QVERIFY(program.start());
    const std::string other = program.folder.root() + "/other";
    QVERIFY(QDir().mkpath(QString::fromStdString(other)));
    TestFolder::write(other + "/DATA401.QLM", clients(1));

    program.messages.answer(MsgAnswer::OK);
    whenModal([&](QWidget* modal) {
        auto* combo = modal->findChild<QComboBox*>("drDrive");
        // The dialog opens on the location in use.
        if (combo == nullptr || combo->currentText().toStdString() != program.folder.data()) {
            QTest::qFail("the drive list does not stand on the location in use", __FILE__,
                         __LINE__);
        }
        auto* help = modal->findChild<QPushButton*>("cmdhelp");
        help->setFocus();
        QTest::keyClick(help, Qt::Key_Return);
        chooseInDialog(modal, other, &program.browsedTo);
    });
    program.action("mnuDriveSelect")->trigger();
    QCOMPARE(program.messages.shown.at(0), DriveHelpMessage());
    QCOMPARE(program.list()->count(), 1);
    QCOMPARE(program.session.DataPath, other);
    QCOMPARE(program.settings.GetINIFilePath(), other);
}

void MainMenuTest::missingProgramFileAtStartUp_data() {
    QTest::addColumn<bool>("putBack");
    QTest::newRow("OK after the file is back") << true;
    QTest::newRow("Cancel") << false;
}

void MainMenuTest::missingProgramFileAtStartUp() {
    QFETCH(bool, putBack);
    Program program(2);
    const std::string publishers = program.folder.program() + "/PUBLISHERS.TXT";
    const std::string texts = TestFolder::read(publishers);
    QVERIFY(QFile::remove(QString::fromStdString(publishers)));
    // The start-up error handler offers to repeat the failed step.
    struct PutBack : Messages {
        FakeMessages& inner;
        std::function<void()> fix;
        PutBack(FakeMessages& m, std::function<void()> f) : inner(m), fix(std::move(f)) {}
        MsgAnswer show(const Message& message) override {
            fix();
            return inner.show(message);
        }
        void beep() override { inner.beep(); }
    };
    PutBack messages(program.messages, [&] {
        if (putBack) {
            TestFolder::write(publishers, texts);
        }
    });
    program.messages.answer(putBack ? MsgAnswer::OK : MsgAnswer::Cancel);
    FrmMainMenu menu(program.session, messages, {1, 1, {}});
    QCOMPARE(menu.StartUp(), putBack);
    QCOMPARE(program.messages.shown.size(), std::size_t(1));
    QCOMPARE(program.messages.shown[0], DataDiskNotFoundMessage());
}

void MainMenuTest::numLockOptionToggledTwice() {
    Program program(1);
    QVERIFY(program.start());
    QAction* numLock = program.action("mnuOptionsNumLock");
    QVERIFY(numLock->isChecked());
    QVERIFY(program.menu->NumLockOption());
    numLock->trigger();
    QVERIFY(!numLock->isChecked());
    QCOMPARE(program.settings.read("Settings", "NumLock", "", 10), std::string("False"));
    numLock->trigger();
    QVERIFY(numLock->isChecked());
    QVERIFY(program.menu->NumLockOption());
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
    program.choice(0)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(program.choice(0), Qt::Key_Return);
    QVERIFY(program.session.EditMode);
    QVERIFY(strayKeptDuringEdit);
    // Once the edit sequence is over the menu is alone again.
    QVERIFY(!stray.isVisible());
}

void MainMenuTest::secondCopyBringsTheMenuToTheFront() {
    Program program(1);
    QVERIFY(program.start());
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    program.menu->comeToFront();
    QVERIFY(QTest::qWaitForWindowActive(program.menu.get()));
}

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"

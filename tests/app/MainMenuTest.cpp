#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QtTest>

#include "app/FrmMainMenu.h"
#include "app/MainMenuWiring.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/PlayKeys.h"
#include "support/TestFolder.h"
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
// `faults` may refuse), the settings naming it, and the main menu over them; the user's own data
// location is not there yet, and their guide's folder is odd.
struct Program {
    TestFolder folder;
    FileSystem files;
    Session session{files, folder.program(), ownFolders(folder)};
    test::FakeServices fake;
    test::FakeMessages& messages = fake.messages;
    const QString root = QString::fromStdString(folder.root());
    std::unique_ptr<FrmMainMenu> menu;

    explicit Program(int count, FaultInjector faults = {}) : files(std::move(faults)) {
        TestFolder::write(folder.program() + "/PUBLISHERS.TXT",
                          TestFolder::read(TestFolder::sourceFolder() + "/data/PUBLISHERS.TXT"));
        TestFolder::write(folder.clientFile(), clients(count));
        session.Settings.WriteINIFilePath(folder.data());
        menu = std::make_unique<FrmMainMenu>(
            session, fake.services,
            MainMenuOptions{1, 1, [this](QWidget*, const QString&) { return root + "/other"; },
                            [this](QWidget*) { return root + "/scores.csv"; }});
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
};

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void menuActions_data();
    void menuActions();
    void activationClosesOtherScreensExceptDuringEdit();
};

// A row: the clients held (2 unless a number leads) and the program folder ("gone" settings,
// client 2 "damaged", "guide", "tables", "no publisher", "read only", the on-screen "test" open,
// menu "wired" as the program does or "stub" screens that may have "added" a client, the
// location "grown" or "shrunk" before a choice); what is done, each with the keys for the box it
// opens after ">"; the answers (OK, Cancel, Yes, No); and what is seen ("$" the test's folder;
// "file=text" a file holding a text, "file!text" not). A read-only location turns off what would
// write; after a choice's screens the client chosen before is chosen again, unless they added
// one; giving up in the location dialog goes on in the user's own folder and stores nothing;
// F1 never opens the guide over the on-screen test; Export Scores logs only what it wrote.
void MainMenuTest::menuActions_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("seen");
    const QString noExport = "scores.csv!|data/access.log!export", ini = "|program/QLMtest.ini=",
                  gone = "box:No test information found on drive $/Gone,|",
                  own = "drive:$/home/.local/share/quillmere/data|list:0";
    const struct {
        const char *row, *setup, *actions, *answers;
        QString seen;
    } rows[] = {
        {"writable", "12", "", "", "enabled:0111|prompt!read only"},
        {"writable, Down chooses the first", "12", "Down", "", "chosen:1|enabled:1111"},
        {"read only", "12 read only", "Down End", "", "chosen:12|enabled:0011|prompt=read only"},
        {"empty, read only", "0 read only", "", "", "enabled:0011|focus:2|chosen:0"},
        {"F1 on the main menu", "guide", "F1", "", "url:#main-menu"},
        {"Help > User Guide", "guide", "HelpGuide", "", "url:"},
        {"F1 on the about box", "guide", "HelpMenuAbout>F1", "", "url:#about-box"},
        {"F1 over the on-screen test", "guide test", "F1", "", ""},
        {"no guide installed", "", "F1", "O", "box:not installed: $/doc #1/user-guide.html"},
        {"program file missing, tried again", "no publisher", "start", "OC",
         "ended|box:The program file $/program/PUBLISHERS.TXT cannot be read."},
        {"export, no code given", "tables", "ExportScores>[close]", "", noExport},
        {"export without the scoring tables", "", "ExportScores>[txtInput]q\r\r", "O",
         "box:not exported|" + noExport},
        {"export", "tables", "ExportScores>[txtInput]q\r\r", "O",
         "box:2 clients were written to $/scores.csv.|scores.csv=\r\n2,CLIENT 2,|data/access.log="
         "\tquillmere\texport\t1-2\n"},
        {"Num Lock off", "", "OptionsNumLock", "", ini + "NumLock=False"},
        {"Num Lock on again", "", "OptionsNumLock OptionsNumLock", "", ini + "NumLock=True"},
        {"location missing at start, No", "gone", "start", "N", gone + "ended"},
        {"location missing, Escape", "gone", "start>[cmdDone]\x1b", "Y",
         gone + own + ini + "$/Gone"},
        {"location missing, a folder chosen", "gone", "start>[cmdBrowse]\r[cmdDone]\r", "Y",
         gone + "drive:$/home/.local/share/quillmere/data|list:1" + ini + "$/other"},
        {"another program added one", "wired stub grown", "choice1", "", "list:3|chosen:2"},
        {"one added", "wired stub added", "choice1", "", "list:3|chosen:3"},
        {"the location's first added", "0 wired stub added", "choice1", "", "list:1|chosen:1"},
        {"52nd client", "51 wired", "choice1", "O", "box:Data Disk Full:|kept"},
        {"damaged record", "wired damaged", "choice0", "O", "box:Damaged Record:|kept"},
        {"another disk", "wired shrunk", "choice2", "OO",
         "box:Data Disk Changed:|box:Data Disk Not Found:|ended|kept"},
        {"Change Data Drive, help, a folder chosen", "",
         "DriveSelect>[cmdhelp]\r[cmdBrowse]\r[cmdDone]\r", "O",
         "box:Use the dropdown box|drive:$/data|list:1" + ini + "$/other"},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << QString(r.setup) << QString(r.actions) << QString(r.answers)
                             << r.seen;
    }
}

void MainMenuTest::menuActions() {
    QFETCH(QString, setup);
    QFETCH(QString, actions);
    QFETCH(QString, answers);
    QFETCH(QString, seen);
    bool numbered = false;
    const int held = setup.section(' ', 0, 0).toInt(&numbered);
    const int count = numbered ? held : 2;
    Program program(count, setup.contains("read only")
                               ? test::FailOn(FileOp::Write, "/data/", EROFS)
                               : FaultInjector{});
    const QString& root = program.root;
    std::string bytes = clients(count);
    if (setup.contains("damaged")) {
        bytes[185 + 74] = '9';  // an answer no sheet has
        TestFolder::write(program.folder.clientFile(), bytes);
    }
    for (int i = 0; i < 3; ++i) {
        program.menu->setChoiceScreens(i, [] {});
    }
    if (setup.contains("wired")) {
        WireMainMenu(*program.menu, program.session, program.fake.services);
    }
    QVERIFY(QDir().mkpath(root + "/other"));
    TestFolder::write(program.folder.root() + "/other/DATA401.QLM", clients(1));
    if (setup.contains("gone")) {
        program.session.Settings.WriteINIFilePath(program.folder.root() + "/Gone");
    }
    if (setup.contains("guide")) {
        QVERIFY(QDir().mkpath(root + "/doc #1"));
        TestFolder::write(program.session.GuideFile, "<html></html>");
    }
    if (setup.contains("tables")) {
        program.folder.installBuiltDataFiles();
    }
    if (setup.contains("no publisher")) {
        QVERIFY(QFile::remove(root + "/program/PUBLISHERS.TXT"));
    }
    const std::map<QChar, MsgAnswer> answer{{'O', MsgAnswer::OK},
                                            {'C', MsgAnswer::Cancel},
                                            {'Y', MsgAnswer::Yes},
                                            {'N', MsgAnswer::No}};
    for (const QChar a : answers) {
        program.messages.answer(answer.at(a));
    }
    bool started = actions.startsWith("start") || program.start();
    QDialog test;
    if (setup.contains("test")) {
        test.setObjectName("frmPresentQA");
        test.show();
    }
    QTimer guard;  // a screen opened where none may be fails the test
    connect(&guard, &QTimer::timeout, [] {
        if (auto* screen = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            QTest::qFail(qPrintable(screen->objectName() + " opened"), __FILE__, __LINE__);
            screen->done(QDialog::Rejected);
        }
    });
    if (setup.contains("wired")) {
        guard.start(20);
    }
    QString drive;
    for (const QString& action : actions.split(' ', Qt::SkipEmptyParts)) {
        const QString keys = action.section('>', 1);
        if (!keys.isEmpty()) {
            OnModal<QDialog>([&](QDialog& box) {
                if (auto* drives = box.findChild<QComboBox*>("drDrive")) {
                    drive = drives->currentText();
                }
                keys == "F1" ? QTest::keyClick(&box, Qt::Key_F1) : test::Play(box, keys);
            });
        }
        const QString name = action.section('>', 0, 0);
        if (name == "start") {
            started = program.start();
        } else if (name.startsWith("choice")) {
            if (setup.contains("stub")) {
                program.menu->setChoiceScreens(name.mid(6).toInt(), [&] {
                    QVERIFY(!Child(program.menu.get(), "frMainMenu")->isVisible());
                    if (setup.contains("added")) {
                        program.session.Clients.NewClient(
                            ClientRecord::fromBytes(test::RecordBytes("N")));
                        program.session.CurrentClient = program.session.Clients.CommitNewClient();
                    }
                });
            }
            program.list()->setCurrentRow(std::min(count, 2) - 1);
            if (setup.contains("grown") || setup.contains("shrunk")) {
                bytes =
                    setup.contains("grown") ? bytes + test::RecordBytes("CLIENT 3") : clients(1);
                TestFolder::write(program.folder.clientFile(), bytes);
            }
            test::Play(*program.menu, "[cmdMenuChoice_" + name.mid(6) + "]\r");
        } else if (name == "F1" || name == "Down" || name == "End") {
            const std::map<QString, Qt::Key> keys{
                {"F1", Qt::Key_F1}, {"Down", Qt::Key_Down}, {"End", Qt::Key_End}};
            QTest::keyClick(program.list(), keys.at(name));
        } else {
            program.menu->findChild<QAction*>("mnu" + name)->trigger();
        }
    }
    QCOMPARE(int(program.messages.shown.size()), answers.size());
    QStringList urls, guide;
    for (const QUrl& url : program.fake.browser.opened) {
        urls << url.toEncoded();
    }
    bool ended = false;
    for (const QString& check : seen.replace('$', root).split('|', Qt::SkipEmptyParts)) {
        const QString what = check.section(':', 1);
        if (check.startsWith("box:")) {
            const auto says = [&](const Message& box) {
                return QString::fromStdString(box.title + ": " + box.text).contains(what);
            };
            QVERIFY2(std::ranges::any_of(program.messages.shown, says), qPrintable(check));
        } else if (check.startsWith("url:")) {
            guide << "file://" + root + "/doc%20%231/user-guide.html" + what;
        } else if (check.startsWith("drive:")) {
            QCOMPARE(drive, what);
        } else if (check.startsWith("list:")) {
            QCOMPARE(program.list()->count(), what.toInt());
        } else if (check.startsWith("enabled:")) {
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(program.choice(i)->isEnabled(), what[i] == '1');
            }
        } else if (check.startsWith("focus:")) {
            QTRY_VERIFY(program.choice(what.toInt())->hasFocus());
        } else if (check.startsWith("prompt")) {
            program.choice(FrmMainMenu::SupervisorChoice)->setFocus(Qt::TabFocusReason);
            QCOMPARE(test::MsgPanel(*program.menu).contains(check.mid(7)), check[6] == '=');
        } else if (check.startsWith("chosen:")) {
            QCOMPARE(program.list()->currentRow(), what.toInt() - 1);
            QCOMPARE(program.session.CurrentClient, what.toInt());
        } else if (check == "kept") {
            QCOMPARE(TestFolder::read(program.folder.clientFile()), bytes);
        } else if (check == "ended") {
            ended = true;
        } else {
            const qsizetype at = check.indexOf(QRegularExpression("[=!]"));
            const std::string path = (root + '/' + check.left(at)).toStdString();
            const bool holds =
                QFile::exists(QString::fromStdString(path)) &&
                TestFolder::read(path).find(check.mid(at + 1).toStdString()) != std::string::npos;
            QVERIFY2(holds == (check[at] == '='), qPrintable(check));
        }
    }
    QCOMPARE(urls, guide);
    QCOMPARE(!started || program.menu->programEnded(), ended);
    QVERIFY(ended || !program.menu->NumLockOption() ||
            Child<QTimer>(program.menu.get(), "timNumLock")->isActive());
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

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <memory>
#include <numeric>

#include "entry/FrmMyInputBox.h"
#include "report/Publisher.h"
#include "session/SiteCode.h"
#include "supervisor/DeleteNames.h"
#include "supervisor/FrmAbout.h"
#include "supervisor/FrmSupervisorOptions.h"
#include "supervisor/SecretCode.h"
#include "support/EntryProgram.h"
#include "support/Rows.h"
#include "support/RunModal.h"

using namespace qlm;
using namespace qlm::test;

namespace {
// clang-format off

// PUBLISHER.CFG ("-": none), the publisher, the key on OK and its result; no key: the splash.
struct AboutRow { const char* name; const char* config; const char* publisher; int key, result; };
const AboutRow aboutRows[] = {
    {"splash", "-", "Tamsworth Youth Screening Co.", 0, 0},
    {"Enter", "1\n", "Harborline Assessment Press", Qt::Key_Return, QDialog::Accepted},
    {"Escape", "2\n", "Tamsworth Youth Screening Co.", Qt::Key_Escape, QDialog::Rejected},
};

struct Site { TestFolder folder; FileSystem files; SiteCode code{files, folder.program() + "/QLMtest.ini"}; FakeServices fake; };

// Types the next code into each box, Enter into OK and on it; a box locked for a wait is let go.
void answerBoxes(std::shared_ptr<std::deque<QString>> typed, bool withCancel, FixedClock& clock) {
    OnModal<FrmMyInputBox>([typed, withCancel, &clock](FrmMyInputBox& box) {
        const QString next = typed->front();
        typed->pop_front();
        if (!typed->empty()) answerBoxes(typed, withCancel, clock);
        // Without its cancel choice, the box's window is the only way out.
        QCOMPARE(Choice(box, 1)->isVisible(), withCancel);
        if (!box.findChild<QLineEdit*>()->isEnabled()) {
            QCOMPARE(Child<QLabel>(&box, "lblWait")->text(), QString("Too many wrong codes: wait 1 second before the next try."));
            clock.now += std::chrono::seconds(1);
            QTRY_VERIFY(box.findChild<QLineEdit*>()->isEnabled() && Choice(box, 0)->isEnabled());
        }
        if (next.isEmpty()) { box.close(); return; }
        Type(next);
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
    });
}

// The site's code ("": the default), the codes typed ("": the window closed), the wrong before.
struct CodeRow { const char* name; const char* siteCode; QStringList typed; bool withCancel, given; int wrongBefore; };
const char* const site = "Sesame-42 north";
const CodeRow codeRows[] = {
    {"no cancel: lower case", "", {"q"}, false, true, 0},
    {"three wrong, then right", "", {"x", "qq", "A", "Q"}, true, true, 0},
    {"window closed", "", {"w", ""}, true, false, 0},
    {"site code: exact, the default off", site, {"sesame-42 north", "Q", site}, false, true, 0},
    {"fourth wrong of the run: a wait", "", {"x", "q"}, true, true, 3},
};

// Option (0 view, 1 clients 3 and 1, 2 all), fault, names printed, log, last message.
struct ReportRow { const char* name; int option; const char* kind, *reported, *logged, *said; };
const ReportRow reportRows[] = {
    {"view, then print; notice", 0, "notice", "BRAVO", "view 2 print 2", ""},
    {"view: code refused", 0, "refused", "", "", ""},
    {"view: no log", 0, "no log", "", "", "The access log cannot be written: Error 70"},
    {"selected", 1, "", "ALPHA CHARLIE", "print 1 print 3", ""},
    {"all: no log", 2, "no log", "", "", "The report was not printed.\r\n\r\nThe access log"},
    {"all: 2 damaged", 2, "damaged", "ALPHA CHARLIE", "print 1 print 3", "Reports printed for 2 clients.\r\n\r\nNot printed (damaged record): client 2."},
    {"empty data disk", 0, "empty", "", "", "There are no clients on this data disk."},
};

// The file a write or a removal fails on, and the last message.
struct DeleteRow { const char* name; const char* fault, *said; };
const DeleteRow deleteRows[] = {
    {"yes", "", "names included: DATA401-20261202-090000-000.QLM record 2."},
    {"a failed write", "DATA401.QLM", "The name of client 1 could not be deleted: Error 61:"},
    {"an old copy kept", "DATA401-20261201", "removed: <data>/backup/DATA401-20261201-"},
};

// clang-format on
}  // namespace

class SupervisorTest : public QObject {
    Q_OBJECT

private slots:
    void about_data() { addRows(aboutRows); }

    // The splash's bands shrink away and it stays for its closing ticks.
    void about() {
        const AboutRow& r = currentRow(aboutRows);
        TestFolder folder;
        if (r.config[0] != '-') {
            TestFolder::write(folder.program() + "/PUBLISHER.CFG", r.config);
        }
        const PublisherCode code = ReadPublisherCode(FileSystem(), folder.program());
        const bool splash = r.key == 0;
        FrmAbout about(code,
                       LoadPublisherTexts(FileSystem(), TestFolder::sourceFolder() + "/data", code),
                       splash, nullptr, 1, splash ? 20 : 1);
        QCOMPARE(Child<QLabel>(&about, "SSPanel1")->text(), QString(r.publisher));
        if (!splash) {
            QCOMPARE(RunModal(about, [&] { Key(Qt::Key(r.key)); }), r.result);
            return;
        }
        about.show();
        QVERIFY(about.Splash() && !Child(&about, "cmdOK")->isVisible());
        about.waitForFadeDone();
        for (int band = 0; band < FrmAbout::BandCount; ++band) {
            QCOMPARE(about.bandHeight(band), 60);  // ten steps of 50 from 560: below 61
            QVERIFY(!Child(&about, qPrintable(QString("Picture2_%1").arg(band)))->isVisible());
        }
        about.close();
        QCOMPARE(about.closingTicks(), FrmAbout::ClosingTicks);
    }

    // Empty input refused, the length held, the input hidden; the next use starts plain.
    void inputBox() {
        FakeServices fake;
        FrmMyInputBox box(fake.services);
        box.SetInputLength(10);
        box.SetPasswordInput(true);
        fake.messages.answer(MsgAnswer::OK);
        RunModal(box, [&] {
            Key(Qt::Key_Return);
            Key(Qt::Key_Return);
            Type("abcdefghijkl");
            QCOMPARE(box.findChild<QLineEdit*>()->displayText(), QStringLiteral("**********"));
            Key(Qt::Key_Return);
            Key(Qt::Key_Tab);
            Key(Qt::Key_Return);
        });
        QCOMPARE(fake.messages.shown.at(0).text,
                 std::string("Please enter the required secret code."));
        QVERIFY(box.Cancelled() && !box.PasswordInput());
    }

    void secretCode_data() { addRows(codeRows); }
    void secretCode() {
        const CodeRow& r = currentRow(codeRows);
        Site site;
        const auto start = site.fake.clock.now;
        for (int i = 0; i < r.wrongBefore; ++i) {
            site.code.wrongCode(site.fake.clock.now);
        }
        if (*r.siteCode != 0) {
            site.code.set(r.siteCode);
        }
        const auto refusals = r.typed.size() - r.typed.count("") - (r.given ? 1 : 0);
        for (int i = 0; i < refusals; ++i) {
            site.fake.messages.answer(MsgAnswer::OK);
        }
        answerBoxes(std::make_shared<std::deque<QString>>(r.typed.begin(), r.typed.end()),
                    r.withCancel, site.fake.clock);
        QCOMPARE(r.withCancel ? AskSecretCode(site.code, site.fake.services, nullptr)
                              : AskSecretCodeNoCancel(site.code, site.fake.services, nullptr),
                 r.given);
        QCOMPARE(qsizetype(site.fake.messages.shown.size()), refusals);
        // Only a box locked for a wait moves the clock on.
        QCOMPARE(site.fake.clock.now - start, std::chrono::seconds(r.wrongBefore > 0 ? 1 : 0));
        for (const Message& m : site.fake.messages.shown) {
            QCOMPARE(m.text, std::string("Incorrect Secret Code.  Please try again."));
        }
    }

    // A salted hash a user's settings cannot replace; waits double from the fourth wrong code.
    void siteCode() {
        QVERIFY(SiteCode::Problem(std::string(65, 'x')).find("at most 64") != std::string::npos);
        QVERIFY(SiteCode::Problem("caf\xe9-code").find("US keyboard") != std::string::npos);
        Site site;
        site.code.set("Sesame 42!");
        const std::string settings = TestFolder::read(site.code.settingsFile());
        QVERIFY2(settings.starts_with("[Security]\nSecretCodeHash=$argon2id$"), settings.c_str());
        const std::string user = site.folder.root() + "/user";
        QVERIFY(QDir().mkpath(QString::fromStdString(user)));
        TestFolder::write(user + "/QLMtest.ini", "[Security]\nSecretCodeHash=\n");
        const std::string program = site.folder.program();
        const Session session(site.files, program,
                              {program, user, {program}, user, "", "", program, user});
        QVERIFY(session.Code.matches("Sesame 42!") && !session.Code.matches("Q"));
        const auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
        int wrong = 0;
        for (const auto& [upTo, seconds] : {std::pair{3, 0}, {4, 1}, {8, 16}, {9, 30}}) {
            for (; wrong < upTo; ++wrong) {
                site.code.wrongCode(now);
            }
            QCOMPARE(site.code.waitLeft(now), std::chrono::seconds(seconds));
            QCOMPARE(site.code.waitLeft(now + std::chrono::seconds(seconds)),
                     std::chrono::seconds(0));
        }
    }

    void reportsAreShownOrPrintedOnlyOnceLogged_data() { addRows(reportRows); }

    // Only a logged report is shown or printed, as one job in client order.
    void reportsAreShownOrPrintedOnlyOnceLogged() {
        const ReportRow& r = currentRow(reportRows);
        const QString kind = r.kind;
        // Three clients, client 2 current (its record damaged where asked).
        EntryProgram program(
            kind == "empty" ? ""
                            : RecordBytes("ALPHA", std::string(109, '1')) +
                                  RecordBytes("BRAVO", kind == "damaged" ? "9" : "2") +
                                  RecordBytes("CHARLIE", std::string(109, '1')),
            kind == "no log" ? FailOn(FileOp::Open, "access.log", EACCES) : FaultInjector());
        program.folder.installBuiltDataFiles();
        program.session.CurrentClient = 2;
        if (kind != "notice") {
            program.session.Code.defaultNoticeDue();
        }
        // The busy pointer must be off while the user chooses the printer.
        bool busy = false;
        program.fake.printer.whenAsked = [&] { busy = busy || QGuiApplication::overrideCursor(); };
        if (*r.said != 0 || kind == "notice") {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        QString shown;
        FrmSupervisorOptions screen(program.session, program.fake.services);
        if (kind == "empty") {
            QCOMPARE(screen.exec(), int(QDialog::Rejected));
        } else {
            RunModal(screen, [&] {
                auto* tabs = Child<QTabWidget>(&screen, "sstSupervisorOperations");
                Child<QRadioButton>(&screen, qPrintable(QString("optPrintOption_%1").arg(r.option)))
                    ->click();
                tabs->setCurrentIndex(2);
                tabs->setCurrentIndex(0);
                OnModal<FrmMyInputBox>([&](FrmMyInputBox& box) {
                    if (kind == "refused") {
                        box.close();
                        return;
                    }
                    if (r.option == 1) {
                        OnModal<QDialog>([&](QDialog& next) {
                            auto* list = next.findChild<QListWidget*>("lbNameDisplay");
                            list->item(2)->setSelected(true);
                            list->item(0)->setSelected(true);
                            QTest::keyClick(Choice(next, 0), Qt::Key_Return);
                        });
                    } else if (kind == "notice") {
                        // The viewer scrolls before its buttons take keys, and prints.
                        OnModal<QDialog>([&](QDialog& viewer) {
                            auto* text = Child<QPlainTextEdit>(&viewer, "Text1");
                            QTRY_VERIFY(!text->toPlainText().isEmpty());
                            QScrollBar* bar = text->verticalScrollBar();
                            bar->setValue(bar->maximum() / 2);
                            const int half = bar->value();
                            Child(&viewer, "cmdCancel")->setFocus();
                            Key(Qt::Key_Down);
                            QVERIFY(bar->value() > half);
                            Child(&viewer, "cmdPrintReport")->setFocus();
                            Key(Qt::Key_Return);
                            Child(&viewer, "cmdCancel")->setFocus();
                            Key(Qt::Key_Return);
                        });
                    }
                    Type("q");
                    Key(Qt::Key_Return);
                    Key(Qt::Key_Return);
                });
                Choice(screen, 0)->click();
            });
        }
        for (const std::string& job : program.fake.printer.jobs) {
            shown += QString::fromStdString(job);
        }
        int last = -1;
        for (const QString name : {"ALPHA", "BRAVO", "CHARLIE"}) {
            const int at = shown.indexOf(name);
            QCOMPARE(at >= 0, QString(r.reported).contains(name));
            QVERIFY2(at < 0 || at > last, qPrintable(name + " out of client order"));
            last = std::max(last, at);
        }
        QCOMPARE(program.fake.printer.jobs.size(), std::size_t(*r.reported != 0));
        const QString log =
            QString::fromStdString(TestFolder::read(program.folder.data() + "/access.log"));
        QStringList lines;
        for (const QString& line : log.split('\n', Qt::SkipEmptyParts)) {
            lines << line.section('\t', 3).replace('\t', ' ');
        }
        QCOMPARE(lines.join(' '), QString(r.logged));
        QCOMPARE(program.session.CurrentClient, r.option == 1 ? 3 : 2);
        QVERIFY(!busy);
        QVERIFY(program.fake.messages.answered());
        const auto& messages = program.fake.messages.shown;
        const std::string said = messages.empty() ? "" : messages.back().text;
        QVERIFY2(said.starts_with(r.said), said.c_str());
    }

    // Every non-blank changes to a printable; equal names differ; the old shift undoes nothing.
    void scrambling() {
        QByteArray every(0xDF, ' ');
        std::iota(every.begin(), every.end(), char(0x21));
        for (const QByteArray& name :
             {QByteArray("SHEET, PAT" + QByteArray(15, ' ')), QByteArray(25, ' '), every}) {
            const std::string original = name.toStdString();
            std::string once = original, twice = original;
            ScrambleName(once);
            ScrambleName(twice);
            QCOMPARE(once.size(), original.size());
            std::string unshifted = once;
            for (std::size_t i = 0; i < original.size(); ++i) {
                const int code = static_cast<unsigned char>(once[i]);
                const bool printable =
                    (code >= 0x21 && code <= 0x7E) || (code >= 0xA1 && code != 0xAD);
                QCOMPARE(once[i] == ' ', original[i] == ' ');
                QVERIFY(original[i] == ' ' || (once[i] != original[i] && printable));
                unshifted[i] = once[i] == ' ' ? ' ' : char(code - (code % 2 == 0 ? 3 : 7));
            }
            const bool blank = original == std::string(original.size(), ' ');
            QCOMPARE(once == twice, blank);
            QCOMPARE(unshifted == original, blank);
        }
    }

    void deleteNames_data() { addRows(deleteRows); }

    // Names scrambled and marked, the report removed, the run logged; a second run is a no-op.
    void deleteNames() {
        const DeleteRow& r = currentRow(deleteRows);
        const QString fault = r.fault;
        ClientRecord deleted = ClientRecord::fromBytes(RecordBytes("DGLOWS"));
        deleted.set(&ClientRecord::NameDeleted, "1");
        EntryProgram program(
            RecordBytes("AB") + deleted.toBytes() + RecordBytes("ZOE, ZACK"),
            [fault](FileOp op, const std::string& path) {
                const bool hit = !fault.isEmpty() && path.find(fault.toStdString()) != path.npos;
                const bool fails = fault == "DATA401.QLM"
                                       ? op == FileOp::Write
                                       : op == FileOp::Rename || op == FileOp::Remove;
                return hit && fails ? ENOSPC : 0;
            });
        const std::string& onDisk = program.onDisk;
        const std::string backups = program.folder.data() + "/backup/DATA401-2026120";
        std::filesystem::create_directory(program.folder.data() + "/backup");
        TestFolder::write(backups + "1-090000-000.QLM", onDisk);
        TestFolder::write(backups + "2-090000-000.QLM", onDisk.substr(0, 300));
        TestFolder::write(backups + "3-090000-000.QLM.new", onDisk);
        TestFolder::write(program.folder.clientFile() + ".new", onDisk);
        TestFolder::write(program.session.reportFile(), "AB REPORT\r\n");
        program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
        DelNames(program.session, program.fake.messages);

        const auto& shown = program.fake.messages.shown;
        const QString said = QString(r.said).replace("<data>", program.folder.data().c_str());
        QVERIFY2(shown.back().text.find(said.toStdString()) != std::string::npos,
                 shown.back().text.c_str());
        const bool done = fault != "DATA401.QLM";
        QCOMPARE(std::filesystem::exists(program.session.reportFile()), !done);
        const std::string after = TestFolder::read(program.folder.clientFile());
        if (!done) {
            QCOMPARE(after, onDisk);
            QCOMPARE(program.session.Clients.entry(1).Name.substr(0, 2), std::string("AB"));
            return;
        }
        for (const int r : {0, 2}) {
            QCOMPARE(after.substr(r * 185, 25).find(' '), std::size_t(r == 0 ? 2 : 4));
            QCOMPARE(after.substr(r * 185 + 25, 160), onDisk.substr(r * 185 + 25, 159) + "1");
        }
        QCOMPARE(after.substr(185, 185), onDisk.substr(185, 185));
        if (!fault.isEmpty()) {
            return;
        }
        program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
        DelNames(program.session, program.fake.messages);
        QCOMPARE(TestFolder::read(program.folder.clientFile()), after);
        const QString log =
            QString::fromStdString(TestFolder::read(program.folder.data() + "/access.log"));
        QVERIFY2(log.contains(QRegularExpression("\tdelete-names\t1,3\n.*\tdelete-names\t-\n$")),
                 qPrintable(log));
    }
};

QTEST_MAIN(SupervisorTest)
#include "SupervisorTest.moc"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "entry/FrmMyInputBox.h"
#include "supervisor/FrmSupervisorOptions.h"
#include "support/EntryProgram.h"
#include "support/Rows.h"
#include "support/RunModal.h"

using namespace qlm;
using namespace qlm::test;

namespace {

// Three clients, client 2 current (its record damaged where asked), and the data files the
// reports are made from; the notice of the default code was given unless `noticeDue`.
struct Program : EntryProgram {
    explicit Program(int clients = 3, FaultInjector faults = {}, bool twoDamaged = false,
                     bool noticeDue = false)
        : EntryProgram(clients == 0 ? ""
                                    : RecordBytes("ALPHA", std::string(109, '1')) +
                                          RecordBytes("BRAVO", twoDamaged ? "9" : "2") +
                                          RecordBytes("CHARLIE", std::string(109, '1')),
                       std::move(faults)) {
        folder.installBuiltDataFiles();
        session.CurrentClient = 2;
        if (!noticeDue) {
            session.Code.defaultNoticeDue();
        }
        // The busy pointer must be off while the user chooses the printer.
        fake.printer.whenAsked = [this] { busy = busy || QGuiApplication::overrideCursor(); };
    }
    bool busy = false;
};

// Types the code into the box once it is up; `next` is then set for the screen it opens.
void giveSecretCode(const std::function<void()>& next) {
    OnModal<FrmMyInputBox>([next](FrmMyInputBox&) {
        next();
        Type("q");
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
    });
}

// The report option (0 view, 1 selected: 3 and 1, 2 all), what goes wrong (or PDF, or the
// notice of the default code due), the names shown or printed in client order, the access
// log's lines and the start of the last message.
struct ReportRow {
    const char* tag;
    int option;
    const char* kind;
    const char* reported;
    const char* logged;
    const char* said;
};
const ReportRow reportRows[] = {
    {"view, then print; notice", 0, "notice", "BRAVO", "view 2 print 2", ""},
    {"view: code refused", 0, "refused", "", "", ""},
    {"view: no log", 0, "no log", "", "", "The access log cannot be written: Error 70"},
    {"selected", 1, "", "ALPHA CHARLIE", "print 1 print 3", ""},
    {"all", 2, "", "ALPHA BRAVO CHARLIE", "print 1 print 2 print 3", ""},
    {"all to PDF", 2, "PDF", "ALPHA BRAVO CHARLIE", "pdf 1 pdf 2 pdf 3", ""},
    {"all: no log", 2, "no log", "", "", "The report was not printed.\r\n\r\nThe access log"},
    {"all: 2 damaged", 2, "damaged", "ALPHA CHARLIE", "print 1 print 3",
     "Reports printed for 2 clients.\r\n\r\nNot printed (damaged record): client 2."},
    {"empty data disk", 0, "empty", "", "", "There are no clients on this data disk."},
};

}  // namespace

class SupervisorOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void reportsAreShownOrPrintedOnlyOnceLogged_data() { AddRows(reportRows); }

    // Each report reaches the screen or the printer only once the access log holds its line:
    // the current client's on screen (and printed from there), chosen ones or all as one print
    // job in client order, a damaged record left out and named; the client current before
    // printing all stays so. The default code's notice comes once a run.
    void reportsAreShownOrPrintedOnlyOnceLogged() {
        const ReportRow& r = CurrentRow(reportRows);
        const QString kind = r.kind;
        Program program(
            kind == "empty" ? 0 : 3,
            kind == "no log" ? FailOn(FileOp::Open, "access.log", EACCES) : FaultInjector(),
            kind == "damaged", kind == "notice");
        program.fake.printer.target = kind == "PDF" ? PrintTarget::PdfFile : PrintTarget::Printer;
        if (*r.said != 0 || kind == "notice") {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        QString shown;
        FrmSupervisorOptions screen(program.session, program.fake.services);
        if (kind == "empty") {
            QCOMPARE(screen.exec(), int(QDialog::Rejected));
        } else {
            RunModal(screen, [&] {
                if (kind == "notice") {
                    QTRY_COMPARE(program.fake.messages.shown.size(), std::size_t(1));
                }
                auto* tabs = Child<QTabWidget>(&screen, "sstSupervisorOperations");
                Child<QRadioButton>(&screen, qPrintable(QString("optPrintOption_%1").arg(r.option)))
                    ->click();
                tabs->setCurrentIndex(2);
                tabs->setCurrentIndex(0);
                if (kind == "refused") {
                    OnModal<FrmMyInputBox>([](FrmMyInputBox& box) { box.close(); });
                } else {
                    giveSecretCode([&] {
                        if (r.option == 2 || kind == "no log") {
                            return;  // no screen of its own, or the viewer closes by itself
                        }
                        OnModal<QDialog>([&](QDialog& next) {
                            if (auto* list = next.findChild<QListWidget*>("lbNameDisplay")) {
                                list->item(2)->setSelected(true);
                                list->item(0)->setSelected(true);
                                QTest::keyClick(Choice(next, 0), Qt::Key_Return);
                                return;
                            }
                            // The viewer scrolls before its buttons take keys.
                            auto* text = Child<QPlainTextEdit>(&next, "Text1");
                            QTRY_VERIFY(!text->toPlainText().isEmpty());
                            shown = text->toPlainText();
                            QScrollBar* bar = text->verticalScrollBar();
                            bar->setValue(bar->maximum() / 2);
                            const int half = bar->value();
                            const auto press = [&](const char* button, Qt::Key key) {
                                Child(&next, button)->setFocus();
                                Key(key);
                            };
                            press("cmdPrintReport", Qt::Key_Down);
                            QVERIFY(bar->value() > half);
                            press("cmdCancel", Qt::Key_PageUp);
                            QVERIFY(bar->value() < half);
                            press("cmdPrintReport", Qt::Key_Return);
                            press("cmdCancel", Qt::Key_Return);
                        });
                    });
                }
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
        QVERIFY(!program.busy);
        QVERIFY(program.fake.messages.answered());
        QVERIFY(!program.session.Code.defaultNoticeDue());
        const auto& messages = program.fake.messages.shown;
        const std::string said = messages.empty() ? "" : messages.back().text;
        QVERIFY2(said.starts_with(r.said), said.c_str());
    }
};

QTEST_MAIN(SupervisorOptionsTest)
#include "SupervisorOptionsTest.moc"

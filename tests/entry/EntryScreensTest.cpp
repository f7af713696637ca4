#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <cerrno>

#include "entry/ClientInfoRules.h"
#include "entry/FrmClientInfo.h"
#include "entry/FrmCourtHistory.h"
#include "support/EntryProgram.h"
#include "support/PlayKeys.h"

using namespace qlm;
using qlm::test::TestFolder;

// The client information and court history screens worked from the keyboard: where the focus
// goes, what is refused and told, and what reaches the record and the file.
class EntryScreensTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
};

namespace {

// Two clients; the second with its court history, one count right-justified as an older
// program may have left it. `setup` may ask for a second client edited twice already
// ("limit"), with its name deleted ("deleted"), aged 0 ("age0"), or a full table ("full").
std::string clients(const QString& setup) {
    std::string bob = test::RecordBytes("BOB EXAMPLE");
    bob.replace(25, 16, setup.contains("age0") ? "0 129 03/04/2011" : "15129 03/04/2011");
    bob.replace(52, 4, "12 3").replace(72, 2, "N ");
    bob.replace(183, 2, setup.contains("limit") ? "2" : "1")
        .append(setup.contains("deleted") ? "1" : "0");
    const std::size_t more = setup.contains("full") ? Session::MaxClients - 2 : 0;
    return test::RecordBytes("ANN EXAMPLE") + bob + std::string(more * 185, '1');
}

QString shownText(QWidget* control) {
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        return list->currentText();
    }
    return qobject_cast<QLineEdit*>(control)->displayText().remove(QLatin1Char('_'));
}

// Plays `keys`, then checks `shows`: ">name" has the focus, "name=text" shows text.
template <typename Screen>
int run(test::EntryProgram& program, const QString& keys, const QStringList& shows) {
    Screen screen(program.session, program.fake.services, program.mode);
    return test::RunModal(screen, [&] {
        test::Play(screen, keys);
        for (const QString& show : shows) {
            if (show.startsWith(QLatin1Char('>'))) {
                QCOMPARE(test::FocusName(), show.mid(1));
            } else {
                QCOMPARE(shownText(test::Child(&screen, qPrintable(show.section('=', 0, 0)))),
                         show.section('=', 1));
            }
        }
        for (auto* list : screen.template findChildren<QComboBox*>()) {
            list->hidePopup();
        }
    });
}

}  // namespace

// A row: the screen and its client ("info"/"court", "new"/"edit", and what `clients` takes,
// "fails" for a client file that cannot be written, "swapped" for another disk put in, "age13"
// for a new client aged 13); the keys; the boxes by the start of "title: text", each answered
// OK or as "=Yes"/"=No" says, and a "beep" for each beep; the outcome; what the controls show
// at the end; and the record's bytes that changed ("offset=bytes|...", "-" a cleared record).
void EntryScreensTest::keys_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("outcome");  // accepted, saved (and written), rejected, open
    QTest::addColumn<QStringList>("shows");
    QTest::addColumn<QString>("patch");
    const auto row = [](const char* tag, const char* setup, const QString& keys,
                        const QStringList& boxes, const char* outcome, const QStringList& shows,
                        const QString& patch) {
        QTest::newRow(tag) << QString(setup) << keys << boxes << QString(outcome) << shows << patch;
    };
    const QString beep = QStringLiteral("beep");
    // Client information: a new client is kept in memory only, an edit is saved.
    row("new client, n for not available", "info new",
        QStringLiteral("JOS\u00c9 DOE\rn\t2\r5\r9\rn\r\r"), {}, "accepted", {},
        QStringLiteral("0=JOS\u00c9 DOE|25=N 259 |31=N         "));
    // Today is 12/07/2026: told, then kept all the same.
    row("one-digit month and day, age far from it", "info new", "ANN\r15\r1\r1\r8\r1/5/2005\r\r",
        {"Please Check"}, "accepted", {}, "0=ANN|25=15118 |31=01/05/2005");
    row("empty name", "info new", "\r", {beep, ": Enter client's name."}, "open", {">txtName"}, "");
    row("name without a single-byte form", "info new", QStringLiteral("ANNA \u0141UK\r"),
        {beep, ": The name holds a character that cannot be stored."}, "open",
        {">txtName", QStringLiteral("txtName=ANNA \u0141UK")}, "");
    row("age 10", "info new", "[txtAge]10\r", {beep, ": Enter age of client"}, "open",
        {">txtAge", "txtAge="}, "");
    row("race left empty", "info new", "[cmbRace]x\r",
        {beep, beep, ": Press down arrow to select ethnicity."}, "open", {">cmbRace", "cmbRace="},
        "");
    row("sex chosen by its code", "info new", "[cmbGender]2", {}, "open", {"cmbGender=Female"}, "");
    row("race N opens the list", "info new", "[cmbRace]N", {}, "open", {"cmbRace=N"}, "");
    row("sex m is no code", "info new", "[cmbGender]m", {beep}, "open", {"cmbGender="}, "");
    row("table full", "info new full", "ANN\r12\r1\r1\r8\rn\r\r", {"Data Disk Full"}, "rejected",
        {}, "");
    // Edited twice before: the age change is the third and last, the education one is refused.
    row("fourth change refused", "info edit limit", "[txtAge]16\r[txtEducation]10\r\r",
        {"Edit Limit Reached"}, "saved", {}, "25=16|41=0|183=3");
    // Unchanged, nothing is written (any write would fail).
    row("unchanged client", "info edit fails", "\r", {}, "accepted", {}, "");
    row("unchanged client aged 0", "info edit fails age0", "\r", {}, "accepted", {}, "");
    row("deleted name opens locked", "info edit fails deleted", "[txtAge]16\r", {}, "rejected", {},
        "");
    // What was typed stays for another try.
    row("write fails", "info edit fails", "[txtAge]16\r[cmdMenuChoice_0]\r\r",
        {"Data Disk Error", "Data Disk Error"}, "open", {}, "");
    row("data disk exchanged", "info edit swapped", "[txtAge]16\r[cmdMenuChoice_0]\r",
        {"Data Disk Changed", "Data Disk Not Found"}, "open", {}, "");
    row("Cancel Input", "info edit", "[txtName]CAROL\r[cmdMenuChoice_1]\r", {}, "rejected", {}, "");
    row("Escape ignored, window close refused", "info edit", "[txtName]CAROL\r\x1b[close]",
        {"Discard Typed Data=No"}, "open", {"txtName=CAROL"}, "");
    row("window closed untouched", "info edit", "[close]", {}, "rejected", {}, "");

    // Court history: Enter and Tab take a field; Information OK by the mouse checks them all.
    row("every field by Enter and Tab", "court new",
        QStringLiteral("\x1b") + "14\rn\t0\r\t12\r1\t2\r3\t4\r5\t99\r\r", {}, "accepted", {},
        "52=14N 0   121 2 3 4 5 99");
    row("age 3 by click", "court new",
        "[txtAgeAtFirstArrest]3[txtDrugArrestCount]n[cmdMenuChoice_0][click]", {}, "accepted", {},
        "52=3 |72=N ");
    row("first arrest after the client's age", "court new age13", "14\r[cmdMenuChoice_0][click]",
        {"Please Check"}, "accepted", {}, "52=14");
    row("age 4", "court new", "4\r", {beep, "Data Entry Error: Enter a number from 5 to 99"},
        "open", {">txtAgeAtFirstArrest", "txtAgeAtFirstArrest=4"}, "");
    row("runaways .5 by click", "court new", "14\r[txtRunawayCount].5[cmdMenuChoice_0][click]",
        {beep, "Data Entry Error: Enter a number from 0 to 99"}, "open",
        {">txtRunawayCount", "txtRunawayCount=.5"}, "");
    row("edited client opens on Information OK", "court edit", "", {}, "open",
        {">cmdMenuChoice_0", "txtAgeAtFirstArrest=12", "txtTruancyCount=3"}, "");
    // A new client is dropped; an edited one keeps its record.
    row("new client, Cancel Input", "court new", "[txtRunawayCount]7\r[cmdMenuChoice_1]\r", {},
        "rejected", {}, "-");
    row("window close refused, then Cancel Input", "court edit",
        "[txtRunawayCount]7\r[close][cmdMenuChoice_1]\r", {"Discard Typed Data=No"}, "rejected", {},
        "");
    row("new client, window closed", "court new", "[txtRunawayCount]7\r[close]",
        {"Discard Typed Data=Yes"}, "rejected", {}, "-");
    row("new client, window closed untouched", "court new", "[close]", {}, "rejected", {}, "-");
    row("Alt+Shift+F10 from a field", "court new", "15\r[leave]", {}, "rejected", {}, "");
}

void EntryScreensTest::keys() {
    QFETCH(QString, setup);
    QFETCH(QString, keys);
    QFETCH(QStringList, boxes);
    QFETCH(QString, outcome);
    QFETCH(QStringList, shows);
    QFETCH(QString, patch);
    test::EntryProgram program(clients(setup), setup.contains("fails")
                                                   ? test::FailOn(FileOp::Write, "DATA401", EIO)
                                                   : FaultInjector{});
    const bool court = setup.startsWith("court");
    if (setup.contains("edit")) {
        program.editClient(2);
    } else if (court) {
        program.newClient();
        program.session.current().set(&ClientRecord::Age, setup.contains("age13") ? "13" : "");
    }
    if (setup.contains("swapped")) {
        program.onDisk.replace(0, 3, "DAN");
        TestFolder::write(program.folder.clientFile(), program.onDisk);
    }
    QStringList expected = boxes;
    expected.removeAll(QStringLiteral("beep"));
    for (const QString& box : expected) {
        const QString answer = box.section('=', 1);
        program.fake.messages.answer(answer == "Yes"  ? MsgAnswer::Yes
                                     : answer == "No" ? MsgAnswer::No
                                                      : MsgAnswer::OK);
    }
    const bool kept = outcome == "accepted" || outcome == "saved";
    std::string record = kept && !court && program.mode == EntryMode::NewClient
                             ? NewClientRecord("12/07/2026").toBytes()
                             : program.current().toBytes();
    if (patch == "-") {
        record = ClientRecord().toBytes();
    }
    for (const QString& part : patch.split('|', Qt::SkipEmptyParts)) {
        const std::string bytes = part.section('=', 1).toLatin1().toStdString();
        record.replace(std::size_t(part.section('=', 0, 0).toInt()), bytes.size(), bytes);
    }

    const int result = court ? run<FrmCourtHistory>(program, keys, shows)
                             : run<FrmClientInfo>(program, keys, shows);
    QCOMPARE(result, kept                ? int(QDialog::Accepted)
                     : outcome == "open" ? test::StillOpen
                                         : int(QDialog::Rejected));
    const auto& shown = program.fake.messages.shown;
    QCOMPARE(int(shown.size()), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QString box = QString::fromStdString(shown[i].title + ": " + shown[i].text);
        QVERIFY2(box.startsWith(expected[int(i)].section('=', 0, 0)), qPrintable(box));
    }
    QCOMPARE(program.fake.messages.beeps, int(boxes.count(QStringLiteral("beep"))));
    QCOMPARE(QByteArray::fromStdString(program.current().toBytes()),
             QByteArray::fromStdString(record));
    std::string file = program.onDisk;
    if (outcome == "saved") {
        file.replace(185, 185, record);
    }
    QCOMPARE(QByteArray::fromStdString(TestFolder::read(program.folder.clientFile())),
             QByteArray::fromStdString(file));
}

QTEST_MAIN(EntryScreensTest)
#include "EntryScreensTest.moc"

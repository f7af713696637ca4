#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <cerrno>
#include <functional>

#include "entry/FrmClientInfo.h"
#include "support/EntryProgram.h"
#include "support/RunModal.h"

using namespace qlm;
using qlm::test::TestFolder;

// The client information screen driven from the keyboard, as a user works it.
class ClientInfoScreenTest : public QObject {
    Q_OBJECT

private slots:
    void newClientIsTypedFieldByFieldIntoMemoryOnly_data();
    void newClientIsTypedFieldByFieldIntoMemoryOnly();
    void fullTableTakesNoNewClient();
    void refusedFieldsKeepTheFocus_data();
    void refusedFieldsKeepTheFocus();
    void typedCodesChooseListEntries_data();
    void typedCodesChooseListEntries();
    void fourthChangeIsRefusedAndLocksTheFields();
    void closesWithoutWriting_data();
    void closesWithoutWriting();
    void cancelStoresNothing_data();
    void cancelStoresNothing();
    void failedSaveKeepsTheScreenAndTheFile_data();
    void failedSaveKeepsTheScreenAndTheFile();
};

namespace {

std::string storedClient(const std::string& name, const std::string& editCount,
                         const std::string& nameDeleted = "0") {
    ClientRecord record;
    record.set(&ClientRecord::Name, name);
    record.set(&ClientRecord::Age, "15");
    record.set(&ClientRecord::Sex, "1");
    record.set(&ClientRecord::Race, "2");
    record.set(&ClientRecord::Education, "9");
    record.set(&ClientRecord::DateOfBirth, "03/04/2011");
    record.set(&ClientRecord::MaritalStatus, "0");
    record.set(&ClientRecord::DateScored, "11/02/2026");
    record.set(&ClientRecord::Answers, std::string(109, '2'));
    record.set(&ClientRecord::EditCount, editCount);
    record.set(&ClientRecord::NameDeleted, nameDeleted);
    return record.toBytes();
}

// Two clients, the second one edited `editCount` times and current.
struct Program : test::EntryProgram {
    explicit Program(const std::string& editCount = "0", const std::string& nameDeleted = "0",
                     FaultInjector fault = {})
        : EntryProgram(storedClient("ANN EXAMPLE", "0") +
                           storedClient("BOB EXAMPLE", editCount, nameDeleted),
                       std::move(fault)) {
        session.CurrentClient = 2;
    }
    std::string fileNow() const { return TestFolder::read(folder.clientFile()); }
    ClientRecord& entry(int n) { return session.Clients.entry(n); }
};

const char* const Fields[] = {"txtName", "txtAge",       "cmbGender",
                              "cmbRace", "txtEducation", "mebDateOfBirth"};

using test::Child;
using test::FocusName;

void type(const QString& text) {
    test::Type(text);
}
void key(Qt::Key k) {
    test::Key(k);
}

void runScreen(Program& program, const std::function<void(FrmClientInfo&)>& act) {
    FrmClientInfo screen(program.session, program.fake.services, program.mode);
    program.outcome = test::RunModal(screen, [&] { act(screen); });
}

void focusOn(QWidget* screen, const char* name) {
    Child(screen, name)->setFocus(Qt::TabFocusReason);
}

}  // namespace

void ClientInfoScreenTest::newClientIsTypedFieldByFieldIntoMemoryOnly_data() {
    QTest::addColumn<QString>("typedDate");
    QTest::addColumn<QString>("storedDate");
    QTest::addColumn<QString>("age");
    QTest::addColumn<bool>("warned");
    const struct {
        const char *row, *typedDate, *storedDate, *age;
        bool warned;
    } rows[] = {
        {"digits only", "02292000", "02/29/2000", "n", false},
        {"with slashes", "02/29/2000", "02/29/2000", "n", false},
        {"not available", "n", "N         ", "n", false},
        {"one-digit month and day", "1/5/2005", "01/05/2005", "21", false},
        // Today is 12/07/2026: told, then stored all the same.
        {"age far from the date of birth", "1/5/2005", "01/05/2005", "15", true},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << QString(r.typedDate) << QString(r.storedDate) << QString(r.age)
                             << r.warned;
    }
}

void ClientInfoScreenTest::newClientIsTypedFieldByFieldIntoMemoryOnly() {
    QFETCH(QString, typedDate);
    QFETCH(QString, storedDate);
    QFETCH(QString, age);
    QFETCH(bool, warned);
    Program program;
    program.mode = EntryMode::NewClient;
    if (warned) {
        program.fake.messages.answer(MsgAnswer::OK);
    }
    runScreen(program, [&](FrmClientInfo& screen) {
        QCOMPARE(FocusName(), QStringLiteral("txtName"));
        QCOMPARE(Child<QLabel>(&screen, "MsgPanel")->text(),
                 QStringLiteral("Type client's name (up to 25 characters) or N for not "
                                "available, then press Enter."));
        QVERIFY(Child<QLabel>(&screen, "lblInfo_0")->font().bold());
        type(QStringLiteral("JOS\u00c9 DOE"));
        key(Qt::Key_Return);
        QCOMPARE(FocusName(), QStringLiteral("txtAge"));
        QVERIFY(!Child<QLabel>(&screen, "lblInfo_0")->font().bold());
        type(age);
        key(Qt::Key_Tab);
        QCOMPARE(FocusName(), QStringLiteral("cmbGender"));
        type(QStringLiteral("2"));
        key(Qt::Key_Return);
        type(QStringLiteral("5"));
        key(Qt::Key_Return);
        QCOMPARE(FocusName(), QStringLiteral("txtEducation"));
        type(QStringLiteral("9"));
        key(Qt::Key_Return);
        QCOMPARE(FocusName(), QStringLiteral("mebDateOfBirth"));
        type(typedDate);
        key(Qt::Key_Return);
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
        if (!storedDate.startsWith(QLatin1Char('N'))) {
            QCOMPARE(Child<QLineEdit>(&screen, "mebDateOfBirth")->displayText(), storedDate);
        }
        key(Qt::Key_Return);
    });
    QVERIFY(program.accepted());
    QCOMPARE(program.session.CurrentClient, 3);
    QCOMPARE(program.session.Clients.NumberOfClients(), 2);
    const std::string storedAge = age == "n" ? "N " : age.toStdString();
    QCOMPARE(program.entry(3).toBytes(), "JOS\xc9 DOE                 " + storedAge + "259 " +
                                             storedDate.toStdString() + "012/07/2026" +
                                             std::string(22, ' ') + std::string(109, '0') + "00");
    QCOMPARE(program.fileNow(), program.onDisk);
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(warned ? 1 : 0));
    if (warned) {
        QCOMPARE(program.fake.messages.shown[0].title, std::string("Please Check"));
        QCOMPARE(program.fake.messages.shown[0].icon, MsgIcon::Exclamation);
    }
}

// The table holds 51 clients: a 52nd is refused instead of being written past its end.
void ClientInfoScreenTest::fullTableTakesNoNewClient() {
    Program program;
    program.mode = EntryMode::NewClient;
    TestFolder::write(program.folder.clientFile(),
                      program.onDisk + std::string((Session::MaxClients - 2) * 185, '1'));
    LoadClients(program.session, program.folder.clientFile());
    const ClientRecord last = program.entry(Session::MaxClients);
    program.fake.messages.answer(MsgAnswer::OK);
    runScreen(program, [](FrmClientInfo&) {
        for (const char* typed : {"ANN", "12", "1", "1", "8", "n"}) {
            type(QString::fromLatin1(typed));
            key(Qt::Key_Return);
        }
        key(Qt::Key_Return);
    });
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
    QCOMPARE(program.fake.messages.shown[0].title, std::string("Data Disk Full"));
    QVERIFY(!program.accepted());
    QCOMPARE(program.session.Clients.NumberOfClients(), Session::MaxClients);
    QCOMPARE(program.entry(Session::MaxClients), last);
}

void ClientInfoScreenTest::refusedFieldsKeepTheFocus_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("left");
    const auto row = [](const char* tag, const char* field, const QString& typed,
                        const char* message, const QString& left) {
        QTest::newRow(tag) << QString(field) << typed << QString(message) << left;
    };
    row("empty name", "txtName", "", "Enter client's name. Press Enter to continue.", "");
    row("name without a single-byte form", "txtName", QStringLiteral("ANNA \u0141UK"),
        "The name holds a character that cannot be stored. Type the name with the letters of "
        "Western European languages only. Press Enter to continue.",
        QStringLiteral("ANNA \u0141UK"));
    row("age 10", "txtAge", "10",
        "Enter age of client in number of years. Press Enter to continue.", "");
    row("education 0", "txtEducation", "0",
        "Enter number of years of education or N for not available. Press Enter to continue.", "");
    row("30 February", "mebDateOfBirth", "02302000",
        "Enter date of birth month, day, year as mm/dd/yyyy or N for Not Available. Press Enter "
        "to continue.",
        "02/30/2000");
    row("race left empty", "cmbRace", "x",
        "Press down arrow to select ethnicity. Press Enter to continue.", "");
}

void ClientInfoScreenTest::refusedFieldsKeepTheFocus() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, left);
    Program program;
    program.mode = EntryMode::NewClient;
    program.fake.messages.answer(MsgAnswer::OK);
    runScreen(program, [&](FrmClientInfo& screen) {
        focusOn(&screen, field.toLatin1().constData());
        type(typed);
        key(Qt::Key_Return);
        QCOMPARE(FocusName(), field);
        QWidget* widget = test::Focused();
        QString shown = qobject_cast<QComboBox*>(widget)
                            ? qobject_cast<QComboBox*>(widget)->currentText()
                            : qobject_cast<QLineEdit*>(widget)->displayText();
        QCOMPARE(shown.remove(QLatin1Char('_')), left);
        focusOn(&screen, "cmdMenuChoice_1");
        key(Qt::Key_Return);
    });
    const auto& shown = program.fake.messages.shown;
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0], (Message{message.toStdString(), "", MsgIcon::Critical, MsgButtons::OK}));
    QVERIFY(program.fake.messages.beeps >= 1);
    QVERIFY(!program.accepted());
    QCOMPARE(program.entry(3), ClientRecord());
}

void ClientInfoScreenTest::typedCodesChooseListEntries_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("listOpen");
    QTest::addColumn<int>("beeps");
    const struct {
        const char *row, *list, *typed, *chosen;
        bool listOpen;
        int beeps;
    } rows[] = {{"sex 2", "cmbGender", "2", "Female", false, 0},
                {"sex n", "cmbGender", "n", "N/A", false, 0},
                {"race 5", "cmbRace", "5", "Native American", false, 0},
                {"race 0", "cmbRace", "0", "N/A", false, 0},
                {"race N", "cmbRace", "N", "N", true, 0},
                {"sex m is no code", "cmbGender", "m", "", false, 1},
                {"race 7 is no code", "cmbRace", "27", "", false, 1}};
    for (const auto& r : rows) {
        QTest::newRow(r.row) << QString(r.list) << QString(r.typed) << QString(r.chosen)
                             << r.listOpen << r.beeps;
    }
}

void ClientInfoScreenTest::typedCodesChooseListEntries() {
    QFETCH(QString, list);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QFETCH(bool, listOpen);
    QFETCH(int, beeps);
    Program program;
    program.mode = EntryMode::NewClient;
    runScreen(program, [&](FrmClientInfo& screen) {
        auto* combo = Child<QComboBox>(&screen, list.toLatin1().constData());
        focusOn(&screen, list.toLatin1().constData());
        type(typed);
        QCOMPARE(combo->currentText(), chosen);
        QCOMPARE(combo->view()->isVisible(), listOpen);
        combo->hidePopup();
    });
    QCOMPARE(program.fake.messages.beeps, beeps);
}

// A client edited twice before: the age change is the third and last, the education change
// after it is refused.
void ClientInfoScreenTest::fourthChangeIsRefusedAndLocksTheFields() {
    Program program("2");
    program.mode = EntryMode::Edit;
    program.fake.messages.answer(MsgAnswer::OK);
    runScreen(program, [](FrmClientInfo& screen) {
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
        QCOMPARE(Child<QLineEdit>(&screen, "txtName")->text(), QStringLiteral("BOB EXAMPLE"));
        focusOn(&screen, "txtAge");
        type(QStringLiteral("16"));
        key(Qt::Key_Return);
        QVERIFY(Child(&screen, "txtEducation")->isEnabled());
        focusOn(&screen, "txtEducation");
        type(QStringLiteral("10"));
        key(Qt::Key_Return);
        QCOMPARE(Child<QLineEdit>(&screen, "txtEducation")->text(), QStringLiteral("9"));
        for (const char* name : Fields) {
            QVERIFY2(!Child(&screen, name)->isEnabled(), name);
        }
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
        QCOMPARE(Child<QLabel>(&screen, "MsgPanel")->text(),
                 QStringLiteral("No further editing permitted. Press Enter to save and continue."));
        key(Qt::Key_Return);
    });
    const auto& shown = program.fake.messages.shown;
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0], (Message{"This client's information has been edited\r\n3 times already. "
                                "Further editing of this\r\ninformation is no longer permitted.",
                                "Edit Limit Reached", MsgIcon::Information, MsgButtons::OK}));
    QVERIFY(program.accepted());
    std::string expected = program.onDisk;
    expected.replace(185 + 25, 2, "16");
    expected[185 + 183] = '3';
    QCOMPARE(program.fileNow(), expected);
}

void ClientInfoScreenTest::closesWithoutWriting_data() {
    QTest::addColumn<bool>("nameDeleted");
    QTest::addColumn<QString>("age");
    QTest::newRow("unchanged client") << false << "15";
    // Information OK holds a stored age to no more than a number.
    QTest::newRow("unchanged client aged 0") << false << "0";
    // Locked, and no other screen of the edit follows.
    QTest::newRow("deleted name opens locked") << true << "15";
}

void ClientInfoScreenTest::closesWithoutWriting() {
    QFETCH(bool, nameDeleted);
    QFETCH(QString, age);
    // Any write would fail and show its box, which nobody answers.
    Program program("1", nameDeleted ? "1" : "0", test::FailOn(FileOp::Write, "DATA401.QLM", EIO));
    program.entry(2).set(&ClientRecord::Age, age.toStdString());
    program.mode = EntryMode::Edit;
    const ClientRecord before = program.entry(2);
    runScreen(program, [&](FrmClientInfo& screen) {
        if (nameDeleted) {
            for (const char* name : Fields) {
                QVERIFY2(!Child(&screen, name)->isEnabled(), name);
            }
            QCOMPARE(Child<QLabel>(&screen, "MsgPanel")->text(),
                     QStringLiteral("Client name has been deleted. Editing is not permitted. "
                                    "Press Enter to continue."));
        }
        key(Qt::Key_Return);
    });
    QCOMPARE(program.accepted(), !nameDeleted);
    QVERIFY(program.fake.messages.shown.empty());
    QCOMPARE(program.entry(2), before);
    QCOMPARE(program.fileNow(), program.onDisk);
}

void ClientInfoScreenTest::cancelStoresNothing_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refuseClose");
    QTest::addColumn<bool>("byWindow");
    QTest::newRow("Cancel Input") << "CAROL EXAMPLE" << false << false;
    QTest::newRow("window closed") << "CAROL EXAMPLE" << false << true;
    QTest::newRow("window close refused, then Cancel Input") << "CAROL EXAMPLE" << true << false;
    QTest::newRow("window closed untouched") << "" << false << true;
}

// Nothing typed is stored by Cancel Input or by closing the window; the window's close asks
// first once something was typed, and Escape is no way out.
void ClientInfoScreenTest::cancelStoresNothing() {
    QFETCH(QString, typed);
    QFETCH(bool, refuseClose);
    QFETCH(bool, byWindow);
    Program program;
    program.mode = EntryMode::Edit;
    if (refuseClose) {
        program.fake.messages.answer(MsgAnswer::No);
    } else if (byWindow && !typed.isEmpty()) {
        program.fake.messages.answer(MsgAnswer::Yes);
    }
    const std::size_t questions = refuseClose || (byWindow && !typed.isEmpty()) ? 1 : 0;
    const ClientRecord before = program.entry(2);
    runScreen(program, [&](FrmClientInfo& screen) {
        if (!typed.isEmpty()) {
            focusOn(&screen, "txtName");
            type(typed);
            key(Qt::Key_Return);
        }
        key(Qt::Key_Escape);
        QVERIFY(screen.isVisible());
        if (refuseClose) {
            screen.close();
            QVERIFY(screen.isVisible());
            QCOMPARE(Child<QLineEdit>(&screen, "txtName")->text(), typed);
        }
        if (byWindow) {
            screen.close();
            return;
        }
        focusOn(&screen, "cmdMenuChoice_1");
        QCOMPARE(Child<QLabel>(&screen, "MsgPanel")->text(),
                 QStringLiteral("Cancel information input and return to Main Menu."));
        key(Qt::Key_Return);
    });
    QVERIFY(program.fake.messages.answered());
    QCOMPARE(program.fake.messages.shown.size(), questions);
    QVERIFY(!program.accepted());
    QCOMPARE(program.entry(2), before);
    QCOMPARE(program.fileNow(), program.onDisk);
}

void ClientInfoScreenTest::failedSaveKeepsTheScreenAndTheFile_data() {
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("write fails") << true << QStringList{"Data Disk Error"};
    QTest::newRow("data disk exchanged")
        << false << QStringList{"Data Disk Changed", "Data Disk Not Found"};
}

void ClientInfoScreenTest::failedSaveKeepsTheScreenAndTheFile() {
    QFETCH(bool, writeFails);
    QFETCH(QStringList, titles);
    Program program("0", "0",
                    writeFails ? test::FailOn(FileOp::Write, "DATA401.QLM", EIO) : FaultInjector{});
    program.mode = EntryMode::Edit;
    if (!writeFails) {
        // Another disk, whose first client is someone else, is in the drive now.
        program.onDisk.replace(0, 3, "DAN");
        TestFolder::write(program.folder.clientFile(), program.onDisk);
    }
    for (int i = 0; i < titles.size(); ++i) {
        program.fake.messages.answer(MsgAnswer::OK);
    }
    const ClientRecord before = program.entry(2);
    runScreen(program, [&](FrmClientInfo& screen) {
        focusOn(&screen, "txtAge");
        type(QStringLiteral("16"));
        key(Qt::Key_Return);
        focusOn(&screen, "cmdMenuChoice_0");
        key(Qt::Key_Return);
        QVERIFY(screen.isVisible());
        QCOMPARE(Child<QLineEdit>(&screen, "txtAge")->text(), QStringLiteral("16"));
        focusOn(&screen, "cmdMenuChoice_1");
        key(Qt::Key_Return);
    });
    QStringList shownTitles;
    for (const Message& message : program.fake.messages.shown) {
        shownTitles << QString::fromStdString(message.title);
        QCOMPARE(message.icon, MsgIcon::Critical);
    }
    QCOMPARE(shownTitles, titles);
    if (writeFails) {
        QVERIFY(program.fake.messages.shown.back().text.find("Error 57: ") != std::string::npos);
    }
    QCOMPARE(program.entry(2), before);
    QCOMPARE(program.fileNow(), program.onDisk);
    QVERIFY(!program.accepted());
}

QTEST_MAIN(ClientInfoScreenTest)
#include "ClientInfoScreenTest.moc"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "testing/FrmSelectLanguage.h"
#include "testing/SoundFiles.h"
#include "testing/TestBank.h"

using namespace qlm;
using qlm::test::Choice;
using qlm::test::RunModal;

namespace {

struct Program : test::EntryProgram {
    explicit Program(const std::vector<std::string>& tables)
        : EntryProgram(test::RecordBytes("EXAMPLE, ALEX")) {
        newClient();
        session.QuestionBankPath = folder.program() + "/QLMtest.db";
        std::vector<test::BankTable> bank;
        for (const std::string& name : tables) {
            bank.emplace_back(name, test::StandardRows());
        }
        test::WriteBank(session.QuestionBankPath, bank);
    }
};

}  // namespace

class SelectLanguageScreenTest : public QObject {
    Q_OBJECT

private slots:
    void languagesInTheBanksOrder_data();
    void languagesInTheBanksOrder();
    void cancelPresentationDropsTheClient();
};

void SelectLanguageScreenTest::languagesInTheBanksOrder_data() {
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<bool>("device");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("two") << QStringList{"Spanish", "English"} << QStringList{"Spanish", "English"}
                         << QStringList{"English"} << true
                         << "Spoken prompts in Spanish are off because no sound files were "
                            "found.\nSpoken prompts in English are on.";
    QTest::newRow("no sound device")
        << QStringList{"English", "Spanish"} << QStringList{"English", "Spanish"}
        << QStringList{"English", "Spanish"} << false
        << "Spoken prompts are off because no sound device was found.";
    QTest::newRow("none") << QStringList{"Notes"} << QStringList{} << QStringList{} << true
                          << QString();
}

// One visible choice per language table, captioned by its name, and whether each will be
// spoken; choosing one completes the screen with that language.
void SelectLanguageScreenTest::languagesInTheBanksOrder() {
    QFETCH(QStringList, tables);
    QFETCH(QStringList, languages);
    QFETCH(QStringList, sounds);
    QFETCH(bool, device);
    QFETCH(QString, spoken);
    std::vector<std::string> names;
    for (const QString& t : tables) {
        names.push_back(t.toStdString());
    }
    Program program(names);
    program.session.SoundPath = program.folder.root();
    for (const QString& language : sounds) {
        const std::string folder = SoundFolder(program.session.SoundPath, language.toStdString());
        std::filesystem::create_directories(folder);
        test::TestFolder::write(folder + "Inst0.wav", test::Wave());
    }
    program.fake.audio.heard = device;
    FrmSelectLanguage screen(program.session, program.fake.services);
    QCOMPARE(screen.LanguageCount(), int(languages.size()));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Select Presentation Language"));
    QCOMPARE(screen.findChild<QLabel*>("lblSpokenPrompts")->text(), spoken);
    std::optional<std::string> chosen;
    test::OnModal<FrmSelectLanguage>([&](FrmSelectLanguage&) {
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(Choice(screen, i)->isVisible(), i < languages.size());
            if (i < languages.size()) {
                QCOMPARE(Choice(screen, i)->text(), languages[i]);
            }
        }
        QCOMPARE(Choice(screen, 3)->text(), QStringLiteral("Cancel Presentation"));
        if (!languages.isEmpty()) {
            QCOMPARE(QApplication::focusWidget(), Choice(screen, 0));
            QTest::keyClick(Choice(screen, languages.size() - 1), Qt::Key_Return);
        }
    });
    chosen = screen.chooseLanguage();
    if (!languages.isEmpty()) {
        QCOMPARE(QString::fromStdString(chosen.value_or("")), languages.back());
    }
}

void SelectLanguageScreenTest::cancelPresentationDropsTheClient() {
    Program program({"English", "Spanish"});
    FrmSelectLanguage screen(program.session, program.fake.services);
    screen.LanguageCount();
    const int result = RunModal(screen, [&] {
        QTest::keyClick(Choice(screen, 0), Qt::Key_Tab);
        QTest::keyClick(Choice(screen, 1), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Choice(screen, 3));
        QTest::keyClick(Choice(screen, 3), Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(program.session.CurrentClient, std::int16_t(1));
    QCOMPARE(program.session.Clients.entry(2).toBytes(), ClientRecord().toBytes());
}

QTEST_MAIN(SelectLanguageScreenTest)
#include "SelectLanguageScreenTest.moc"

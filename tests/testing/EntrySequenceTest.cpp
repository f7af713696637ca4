#include <QtTest>
#include <filesystem>
#include <string>

#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "testing/EntrySequence.h"
#include "testing/FrmSelectEntryMethod.h"
#include "testing/FrmSelectLanguage.h"
#include "testing/SoundFiles.h"
#include "testing/TestBank.h"

using namespace qlm;
using namespace qlm::test;

namespace {

// Stand-ins for the screens: each records its name and returns what its script says, 'T'
// completed, anything else cancelled; a name in `missing` is a step left empty.
struct Screens {
    std::string script;
    std::string missing;
    int languages;
    std::size_t shown = 0;
    std::string trace;

    Screens(const QString& script, const QString& missing, int languages = 1)
        : script(script.toStdString()), missing(missing.toStdString()), languages(languages) {}

    std::function<bool()> step(const char* name) {
        if (missing == name) {
            return nullptr;
        }
        return [this, name] {
            trace += std::string(trace.empty() ? "" : " ") + name;
            return shown < script.size() && script[shown++] == 'T';
        };
    }
    OnscreenTestSteps onscreen() {
        OnscreenTestSteps steps{step("info"), step("court"), {}, {}, {}};
        steps.languageCount = [this] {
            trace += " count";
            return languages;
        };
        steps.selectLanguage = [this]() -> std::optional<std::string> {
            if (step("language")()) {
                return "Spanish";
            }
            return std::nullopt;
        };
        if (missing != "present") {
            steps.presentTest = [this](const std::string& language) {
                trace += " present(" + language + ")";
            };
        }
        return steps;
    }
};

}  // namespace

// The two chains of entry screens, and the screens that choose between them.
class EntrySequenceTest : public QObject {
    Q_OBJECT

private slots:
    void chains_data() {
        QTest::addColumn<int>("languages");  // -1 for the paper sheet's chain
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* tag, int languages, QString script, QString missing,
                            QString trace) {
            QTest::newRow(tag) << languages << script << missing << trace;
        };
        row("paper, all completed", -1, "TTT", "", "info court grid done");
        row("paper, information cancelled", -1, "F", "", "info");
        row("paper, court history cancelled", -1, "TF", "", "info court");
        row("paper, answers not saved", -1, "TTF", "", "info court grid");
        // A chain whose last screen is not there stops before it instead of pretending to finish.
        row("paper, no answer grid", -1, "TT", "grid", "info court");
        row("no test screen", 1, "TT", "present", "info court");
        row("two languages, Spanish chosen", 2, "TTT", "",
            "info court count language present(Spanish)");
        row("two languages, presentation cancelled", 2, "TTF", "", "info court count language");
        row("one language", 1, "TT", "", "info court count present(English)");
        row("no language table", 0, "TT", "", "info court count present(English)");
        row("court history cancelled", 2, "TF", "", "info court");
        row("information cancelled", 2, "F", "", "info");
    }
    void chains() {
        QFETCH(int, languages);
        QFETCH(QString, script);
        QFETCH(QString, missing);
        QFETCH(QString, trace);
        Screens screens(script, missing, languages);
        if (languages >= 0) {
            RunOnscreenTestSequence(screens.onscreen());
        } else if (RunDataEntrySequence(
                       {screens.step("info"), screens.step("court"), screens.step("grid")})) {
            screens.trace += " done";
        }
        QCOMPARE(QString::fromStdString(screens.trace), trace);
    }

    void entryMethodChoices_data() {
        QTest::addColumn<bool>("onscreen");
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<QString>("ran");
        QTest::addColumn<int>("result");
        QTest::newRow("on screen") << true << QList{Qt::Key_Return} << "on screen" << 1;
        QTest::newRow("paper sheet")
            << true << QList{Qt::Key_Down, Qt::Key_Return} << "paper, the screen still up" << 1;
        // Down passes over the hidden scanner; a letter does nothing.
        QTest::newRow("cancel") << true
                                << QList{Qt::Key_Down, Qt::Key_Down, Qt::Key_P, Qt::Key_Return}
                                << "" << 0;
        // A method without its chain cannot be chosen: the focus starts on the next.
        QTest::newRow("no on-screen chain")
            << false << QList{Qt::Key_Return} << "paper, the screen still up" << 1;
    }
    void entryMethodChoices() {
        QFETCH(bool, onscreen);
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(QString, ran);
        QFETCH(int, result);
        EntryProgram program(RecordBytes("EXAMPLE, ALEX"));
        QString chain;
        EntryMethodSequences sequences;
        if (onscreen) {
            sequences.onscreenTest = [&] { chain = "on screen"; };
        }
        sequences.paperSheet = [&] {
            chain = QApplication::activeModalWidget()->objectName() == "frmSelectEntryMethod"
                        ? "paper, the screen still up"
                        : "paper";
        };
        FrmSelectEntryMethod screen(program.session, program.fake.services, sequences);
        QCOMPARE(RunModal(screen,
                          [&] {
                              for (const Qt::Key key : keys) {
                                  Key(key);
                              }
                          }),
                 result);
        QCOMPARE(chain, ran);
    }

    void languageChoices_data() {
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QStringList>("sounds");
        QTest::addColumn<bool>("device");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<int>("pick");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("in the bank's order")
            << QStringList{"Spanish", "English"} << QStringList{"English"} << true
            << "Spoken prompts in Spanish are off because no sound files were found.\n"
               "Spoken prompts in English are on."
            << 1 << "English";
        QTest::newRow("no sound device")
            << QStringList{"English", "Spanish"} << QStringList{"English", "Spanish"} << false
            << "Spoken prompts are off because no sound device was found." << 0 << "English";
        // Cancel drops the new client.
        QTest::newRow("none, cancelled")
            << QStringList{"Notes"} << QStringList{} << true << QString() << 3 << QString();
    }
    // One choice per language table, and whether each will be spoken.
    void languageChoices() {
        QFETCH(QStringList, tables);
        QFETCH(QStringList, sounds);
        QFETCH(bool, device);
        QFETCH(QString, spoken);
        QFETCH(int, pick);
        QFETCH(QString, chosen);
        EntryProgram program(RecordBytes("EXAMPLE, ALEX"));
        program.newClient();
        program.session.QuestionBankPath = program.folder.program() + "/QLMtest.db";
        std::vector<BankTable> bank;
        for (const QString& table : tables) {
            bank.emplace_back(table.toStdString(), StandardRows(1));
        }
        WriteBank(program.session.QuestionBankPath, bank);
        program.session.SoundPath = program.folder.root();
        for (const QString& language : sounds) {
            const std::string folder =
                SoundFolder(program.session.SoundPath, language.toStdString());
            std::filesystem::create_directories(folder);
            TestFolder::write(folder + "Inst0.wav", Wave());
        }
        program.fake.audio.heard = device;
        FrmSelectLanguage screen(program.session, program.fake.services);
        const int count = screen.LanguageCount();
        QCOMPARE(Child<QLabel>(&screen, "lblSpokenPrompts")->text(), spoken);
        OnModal<FrmSelectLanguage>([&](FrmSelectLanguage&) {
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(Choice(screen, i)->isVisible(), i < count);
            }
            QCOMPARE(Choice(screen, pick)->text(),
                     chosen.isEmpty() ? "Cancel Presentation" : chosen);
            QTest::keyClick(Choice(screen, pick), Qt::Key_Return);
        });
        QCOMPARE(QString::fromStdString(screen.chooseLanguage().value_or("")), chosen);
        QCOMPARE(program.session.Clients.entry(2).Name.starts_with("NEWCOMER"), !chosen.isEmpty());
    }
};

QTEST_MAIN(EntrySequenceTest)
#include "EntrySequenceTest.moc"

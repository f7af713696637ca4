#include <QtTest>
#include <string>

#include "testing/EntrySequence.h"

using namespace qlm;

namespace {

// Stand-ins for the screens: each records its name and returns what its script says, 'T'
// completed, anything else cancelled; a name in `missing` is a step left empty.
struct Screens {
    std::string script;
    std::string missing;
    std::size_t shown = 0;
    int languages = 1;
    std::string trace;

    std::function<bool()> step(const char* name) {
        if (missing == name) {
            return nullptr;
        }
        return [this, name] {
            trace += std::string(trace.empty() ? "" : " ") + name;
            return shown < script.size() && script[shown++] == 'T';
        };
    }
    DataEntrySteps dataEntry() { return {step("info"), step("court"), step("grid")}; }
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

class EntrySequenceTest : public QObject {
    Q_OBJECT

private slots:
    void dataEntryChain_data();
    void dataEntryChain();
    void onscreenChain_data();
    void onscreenChain();
};

void EntrySequenceTest::dataEntryChain_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<bool>("completed");
    QTest::newRow("all completed") << "TTT"
                                   << ""
                                   << "info court grid" << true;
    QTest::newRow("information cancelled") << "F"
                                           << ""
                                           << "info" << false;
    QTest::newRow("court history cancelled") << "TF"
                                             << ""
                                             << "info court" << false;
    QTest::newRow("answers not saved") << "TTF"
                                       << ""
                                       << "info court grid" << false;
    // A chain whose answer screen is not there stops before it instead of pretending to finish.
    QTest::newRow("no answer grid") << "TT"
                                    << "grid"
                                    << "info court" << false;
}

void EntrySequenceTest::dataEntryChain() {
    QFETCH(QString, script);
    QFETCH(QString, missing);
    QFETCH(QString, trace);
    QFETCH(bool, completed);
    Screens screens;
    screens.script = script.toStdString();
    screens.missing = missing.toStdString();
    QCOMPARE(RunDataEntrySequence(screens.dataEntry()), completed);
    QCOMPARE(QString::fromStdString(screens.trace), trace);
}

void EntrySequenceTest::onscreenChain_data() {
    QTest::addColumn<int>("languages");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("trace");
    const auto row = [](const char* tag, int languages, const char* script, const char* missing,
                        const char* trace) {
        QTest::newRow(tag) << languages << QString(script) << QString(missing) << QString(trace);
    };
    row("two languages, Spanish chosen", 2, "TTT", "",
        "info court count language present(Spanish)");
    row("two languages, presentation cancelled", 2, "TTF", "", "info court count language");
    row("one language", 1, "TT", "", "info court count present(English)");
    row("no language table", 0, "TT", "", "info court count present(English)");
    row("court history cancelled", 2, "TF", "", "info court");
    row("information cancelled", 2, "F", "", "info");
    row("no test screen", 1, "TT", "present", "info court");
}

void EntrySequenceTest::onscreenChain() {
    QFETCH(int, languages);
    QFETCH(QString, script);
    QFETCH(QString, missing);
    QFETCH(QString, trace);
    Screens screens;
    screens.script = script.toStdString();
    screens.missing = missing.toStdString();
    screens.languages = languages;
    RunOnscreenTestSequence(screens.onscreen());
    QCOMPARE(QString::fromStdString(screens.trace), trace);
}

QTEST_APPLESS_MAIN(EntrySequenceTest)
#include "EntrySequenceTest.moc"

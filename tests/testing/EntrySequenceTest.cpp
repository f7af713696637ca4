#include <QtTest>
#include <string>

#include "testing/EntrySequence.h"

using namespace qlm;

namespace {

// Stand-ins for the screens. Each records its name and the flag it was opened with, then
// leaves the flag as its script says: 'T' completed, 'F' cancelled, '-' untouched (a screen
// left by its way out).
struct Screens {
    bool continueEntry = false;
    std::string script;
    std::size_t shown = 0;
    int languages = 1;
    std::string chosen = "Spanish";
    std::string trace;

    void show(const char* name) {
        trace += std::string(trace.empty() ? "" : " ") + name + (continueEntry ? ":T" : ":F");
        const char outcome = shown < script.size() ? script[shown] : '-';
        ++shown;
        if (outcome != '-') {
            continueEntry = outcome == 'T';
        }
    }
    DataEntrySteps dataEntry() {
        return {[this] { show("info"); }, [this] { show("court"); }, [this] { show("grid"); }};
    }
    OnscreenTestSteps onscreen() {
        OnscreenTestSteps steps;
        steps.showClientInfo = [this] { show("info"); };
        steps.showCourtHistory = [this] { show("court"); };
        steps.languageCount = [this] {
            trace += " count";
            return languages;
        };
        steps.showSelectLanguage = [this] {
            show("language");
            return chosen;
        };
        steps.showPresentQA = [this](const std::string& language) {
            trace += " present(" + language + ")";
        };
        return steps;
    }
};

}  // namespace

class EntrySequenceTest : public QObject {
    Q_OBJECT

private slots:
    void dataEntryChains_data();
    void dataEntryChains();
    void onscreenChain_data();
    void onscreenChain();
    void missingScreenEndsTheChain();
};

void EntrySequenceTest::dataEntryChains_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("flagBefore");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<bool>("flagAfter");

    const auto row = [](const char* tag, bool edit, bool before, const char* script,
                        const char* trace, bool after) {
        QTest::newRow(tag) << edit << before << QString(script) << QString(trace) << after;
    };
    row("paper: all completed", false, false, "TTT", "info:F court:F grid:F", true);
    row("paper: information cancelled", false, false, "F", "info:F", false);
    row("paper: court history cancelled", false, false, "TF", "info:F court:F", false);
    row("paper: court history left at once", false, false, "T-", "info:F court:F", false);
    row("paper: flag left set, information closed", false, true, "-", "info:F", false);
    row("edit: all completed", true, false, "TT-", "info:F court:F grid:T", true);
    row("edit: information cancelled", true, false, "F", "info:F", false);
    row("edit: court history cancelled", true, false, "TF", "info:F court:F", false);
    row("edit: flag left set, information closed", true, true, "-", "info:F", false);
}

void EntrySequenceTest::dataEntryChains() {
    QFETCH(bool, edit);
    QFETCH(bool, flagBefore);
    QFETCH(QString, script);
    QFETCH(QString, trace);
    QFETCH(bool, flagAfter);

    Screens screens;
    screens.continueEntry = flagBefore;
    screens.script = script.toStdString();
    if (edit) {
        RunEditSequence(screens.continueEntry, screens.dataEntry());
    } else {
        RunPaperSheetSequence(screens.continueEntry, screens.dataEntry());
    }
    QCOMPARE(QString::fromStdString(screens.trace), trace);
    QCOMPARE(screens.continueEntry, flagAfter);
}

void EntrySequenceTest::onscreenChain_data() {
    QTest::addColumn<int>("languages");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("trace");

    const auto row = [](const char* tag, int languages, const char* script, const char* trace) {
        QTest::newRow(tag) << languages << QString(script) << QString(trace);
    };
    row("two languages, Spanish chosen", 2, "TTT",
        "info:F court:F count language:F present(Spanish)");
    row("two languages, presentation cancelled", 2, "TTF", "info:F court:F count language:F");
    row("language screen left untouched", 2, "TT-", "info:F court:F count language:F");
    row("one language", 1, "TT", "info:F court:F count present(English)");
    row("no language table", 0, "TT", "info:F court:F count present(English)");
    row("court history cancelled", 2, "TF", "info:F court:F");
    row("information cancelled", 2, "F", "info:F");
}

void EntrySequenceTest::onscreenChain() {
    QFETCH(int, languages);
    QFETCH(QString, script);
    QFETCH(QString, trace);

    Screens screens;
    screens.languages = languages;
    screens.script = script.toStdString();
    RunOnscreenTestSequence(screens.continueEntry, screens.onscreen());
    QCOMPARE(QString::fromStdString(screens.trace), trace);
}

// A chain whose answer screen is not there stops before it instead of pretending to finish.
void EntrySequenceTest::missingScreenEndsTheChain() {
    Screens paper;
    paper.script = "TT";
    DataEntrySteps steps = paper.dataEntry();
    steps.showNewEntry = nullptr;
    QVERIFY(!steps.complete());
    RunPaperSheetSequence(paper.continueEntry, steps);
    QCOMPARE(QString::fromStdString(paper.trace), QStringLiteral("info:F court:F"));
    QVERIFY(!paper.continueEntry);

    Screens onscreen;
    onscreen.script = "TT";
    OnscreenTestSteps test = onscreen.onscreen();
    test.showPresentQA = nullptr;
    QVERIFY(!test.complete());
    RunOnscreenTestSequence(onscreen.continueEntry, test);
    QCOMPARE(QString::fromStdString(onscreen.trace), QStringLiteral("info:F court:F"));
    QVERIFY(!onscreen.continueEntry);
}

QTEST_APPLESS_MAIN(EntrySequenceTest)
#include "EntrySequenceTest.moc"

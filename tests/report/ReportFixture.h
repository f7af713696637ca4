#pragma once

#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "report/ReportWriter.h"
#include "scoring/TestSpec.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/CodeTexts.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

namespace qlm::test {

// The lines of report bytes without their CR LF ends (an empty rest after the last is dropped).
inline QStringList ReportLines(const std::string& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// `text` standing at `column` of an otherwise empty line.
inline QString AtColumn(int column, const QString& text) {
    return QString(column - 1, ' ') + text;
}

// A program folder holding the shipped report texts, and a session whose scoring state and
// tables are filled by hand: the report is tested apart from the scoring.
class ReportFixture {
public:
    explicit ReportFixture(FaultInjector injector = {})
        : files(std::move(injector)), session(files, folder.program()) {
        for (const char* name : {"QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMVI.TXT", "QLMAS.TXT",
                                 "INVAL.TXT", "PUBLISHERS.TXT"}) {
            TestFolder::write(program(name),
                              TestFolder::read(TestFolder::sourceFolder() + "/data/" + name));
        }
        FillCodeTexts(session.Codes);
        SetTestSpec(session.Constants);
        fillTables();
        fillClient();
    }

    std::string program(const std::string& name) const { return folder.program() + "/" + name; }
    ScoringState& state() { return session.Scoring; }
    ReportInputs inputs() { return ReportInputsOf(session); }

    // A writer as the report makes it, standing at `line`.
    ReportWriter writer(int line = 1) const {
        ReportWriter out(session.Scoring.ClientInfo[1],
                         LoadPublisherTexts(files, folder.program(), session.Publisher),
                         session.Publisher);
        out.ReportLine = line;
        return out;
    }

    void setPercentile(int scale, int percentile) {
        state().Percentile[static_cast<std::size_t>(scale)] = static_cast<std::int16_t>(percentile);
    }

    void setPercentiles(int truth, int alcohol, int drugs, int violence, int antisocial) {
        int scale = 0;
        for (int p : {0, truth, alcohol, drugs, violence, antisocial}) {
            setPercentile(scale++, p);
        }
    }

    void setDeviant(std::initializer_list<int> items) {
        state().ItemScore.fill(0);
        for (int item : items) {
            state().ItemScore[static_cast<std::size_t>(item)] = 1;
        }
    }

    TestFolder folder;
    FileSystem files;
    Session session;

private:
    static std::string number3(int item) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%3d", item);
        return buffer;
    }

    void fillTables() {
        ScoringTables& t = session.Tables;
        const char* scales[] = {"", "Truthfulness", "Alcohol", "Drugs", "Violence", "Antisocial"};
        const char* files[] = {"", "QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMVI.TXT", "QLMAS.TXT"};
        for (std::size_t i = 1; i <= 5; ++i) {
            t.ScaleName[i] = scales[i];
            t.NarrativeFile[i] = program(files[i]);
        }
        t.RiskRangeName = {"", "LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};
        // Significant items 2, 4, ... 110 would leave the test; items 1 to 55 in order do not.
        for (std::size_t k = 1; k <= 55; ++k) {
            const auto item = static_cast<int>(k);
            t.SignificantItem[k] = item;
            t.SignificantItemText[k] =
                number3(item) + ". Significant answer " + std::to_string(item) + " (T)";
        }
        for (int j = 98; j <= 109; ++j) {
            for (int a = 1; a <= 4; ++a) {
                t.ChoiceText[static_cast<std::size_t>(4 * (j - 98) + a)] =
                    number3(j) + ". Choice " + std::to_string(a) + " of item " + std::to_string(j);
            }
        }
        const int alcohol[] = {8, 13, 18, 24, 29, 34, 40, 45, 51, 53, 56, 82};
        const int drugs[] = {10, 15, 19, 23, 28, 33, 38, 44, 49, 54, 59, 64, 69, 72, 95};
        std::copy(std::begin(alcohol), std::end(alcohol), t.AlcoholNarrativeItems.begin() + 1);
        std::copy(std::begin(drugs), std::end(drugs), t.DrugNarrativeItems.begin() + 1);
    }

    void fillClient() {
        ScoringState& s = session.Scoring;
        session.CurrentClient = 3;
        s.CurrentTestNumber = 3;
        s.ClientInfo = {"",  "ROSALIND EXAMPLE", "15", "2", "3",         "",
                        "9", "03/14/2011",       "0",  "",  "07/17/2026"};
        s.CourtCounts = {"", "13", "2", "N/A", "4", "1", "0", "3", "2", "0", "1", "0"};
        for (std::size_t i = 1; i <= 109; ++i) {
            s.ItemAnswers[i] = i <= 97 ? (i % 3 == 0 ? 1 : 2) : static_cast<int>(i % 4 + 1);
        }
        s.ItemAnswers[20] = 0;
        s.ItemAnswers[101] = 0;
        s.RawScore = {0, 5, 12, 20, 31, 40};
        s.OmittedCount = {0, 0, 1, 0, 0, 2};
        s.DeviantCount = {0, 4, 6, 8, 12, 15};
        setPercentiles(35, 45, 75, 88, 96);
        setDeviant({8, 13, 53, 3, 15, 72, 30, 31, 44, 50});
    }
};

}  // namespace qlm::test

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/FakeMessages.h"
#include "ui/Services.h"

namespace qlm::test {

// A calendar standing still on one day, and a time that moves only when a test moves it.
class FixedClock : public Clock {
public:
    std::string Today() const override { return today; }
    std::chrono::steady_clock::time_point Now() const override { return now; }
    std::string today = "12/07/2026";
    std::chrono::steady_clock::time_point now{std::chrono::hours(1000)};
};

// A player that hears nothing and remembers every file it was asked to play.
class RecordingAudio : public AudioPlayer {
public:
    bool available() const override { return heard; }
    bool play(const std::string& waveFile, std::string& error) override {
        played.push_back(waveFile);
        error = failWith;
        return failWith.empty();
    }
    void stop() override { ++stops; }

    bool heard = true;
    std::string failWith;
    std::vector<std::string> played;
    int stops = 0;
};

// A printer that keeps the text of each job instead of printing it.
class RecordingPrinter : public ReportPrinter {
public:
    PrintOutcome print(const std::string& reportText, const std::string&, std::string& error,
                       const PrintGate& gate) override {
        if (whenAsked) {
            whenAsked();
        }
        if (gate && !gate(target, error)) {
            return PrintOutcome::Failed;
        }
        return record(reportText, error);
    }
    PrintOutcome printToPdf(const std::string& reportText, const std::string&,
                            std::string& error) override {
        return record(reportText, error);
    }

    PrintOutcome outcome = PrintOutcome::Printed;
    PrintTarget target = PrintTarget::Printer;  // what the user chose in the print dialog
    std::string failWith;
    std::vector<std::string> jobs;
    // Runs where the user would choose the printer.
    std::function<void()> whenAsked;

private:
    PrintOutcome record(const std::string& reportText, std::string& error) {
        if (outcome == PrintOutcome::Printed) {
            jobs.push_back(reportText);
        }
        error = failWith;
        return outcome;
    }
};

// A browser that keeps the pages it was asked to show.
class RecordingBrowser : public Browser {
public:
    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return starts;
    }

    bool starts = true;
    std::vector<QUrl> opened;
};

// The doubles of every service, and the bundle a screen takes.
struct FakeServices {
    FakeMessages messages;
    FixedClock clock;
    RecordingAudio audio;
    RecordingPrinter printer;
    RecordingBrowser browser;
    Services services{messages, clock, audio, printer, browser};
};

}  // namespace qlm::test

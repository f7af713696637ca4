#pragma once

#include <array>

#include "report/Publisher.h"
#include "ui/Screen.h"

class QLabel;
class QTimer;

namespace qlm {

class MenuChoice;

// The about box, also the splash screen of start-up. The logo is revealed by six cover bands
// that shrink every reveal tick; a splash, once asked to close, stays for four more ticks of
// `closeTickMs` so that it can be read.
class FrmAbout : public Screen {
    Q_OBJECT

public:
    static constexpr int BandCount = 6;
    static constexpr int BandUnits = 560;  // 1/1440 inch
    static constexpr int BandStepUnits = 50;
    static constexpr int ClosingTicks = 4;

    FrmAbout(PublisherCode code, const PublisherTexts& texts, bool splash,
             QWidget* parent = nullptr, int revealTickMs = 10, int closeTickMs = 1000);

    bool Splash() const { return m_splash; }
    int bandHeight(int band) const { return m_bandUnits.at(static_cast<std::size_t>(band)); }
    // Closing ticks a splash has waited for so far.
    int closingTicks() const { return m_closingTicks; }
    // Yields to the event loop until the current animation step has finished.
    void waitForFadeDone();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes a splash the same way as its caller does, after its last seconds.
    void reject() override;

private:
    void tick();
    void placeBands();

    bool m_splash;
    bool m_fadeDone = false;
    bool m_closing = false;
    int m_closingTicks = 0;
    int m_closeTickMs;
    std::array<int, BandCount> m_bandUnits{};
    std::array<QWidget*, BandCount> m_bands{};
    QLabel* m_logo = nullptr;
    QTimer* m_timer = nullptr;
    MenuChoice* m_ok = nullptr;
};

}  // namespace qlm

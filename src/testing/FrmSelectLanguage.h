#pragma once

#include <array>
#include <optional>
#include <string>

#include "ui/Screen.h"

class QGroupBox;
class QLabel;

namespace qlm {

class MenuChoice;
struct Services;
struct Session;

// The language the test is presented in, one choice per language table of the question bank.
class FrmSelectLanguage : public Screen {
    Q_OBJECT

public:
    static constexpr int CancelChoice = 3;

    FrmSelectLanguage(Session& session, Services& services, QWidget* parent = nullptr);

    // Opens the question bank, shows one choice per language table and returns how many there
    // are (DataFileError when the bank cannot be read). Says for each whether the test will
    // speak.
    int LanguageCount();
    // The language chosen, or nothing when the choice was cancelled (the new client dropped).
    std::optional<std::string> chooseLanguage();

public slots:
    // Closing the screen is "Cancel Presentation".
    void reject() override;

protected:
    void firstShown() override;

private:
    void runChoice(int index);

    Session& m_session;
    Services& m_services;
    std::string m_language;
    std::array<MenuChoice*, 4> m_choices{};
    QLabel* m_msgPanel = nullptr;
    QLabel* m_lblSpokenPrompts = nullptr;
};

}  // namespace qlm

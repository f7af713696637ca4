#pragma once

#include <array>
#include <functional>

#include "ui/Screen.h"

class QFrame;
class QGroupBox;
class QLabel;

namespace qlm {

class MenuChoice;
struct Services;
struct Session;

// The chains behind the entry methods, each running its screens modally. An empty one leaves
// its choice disabled.
struct EntryMethodSequences {
    std::function<void()> onscreenTest;
    std::function<void()> paperSheet;
};

// How a new client's answers will be obtained: the choice runs its chain of screens, and the
// screen closes when the chain ends, whatever its outcome.
class FrmSelectEntryMethod : public Screen {
    Q_OBJECT

public:
    static constexpr int OnscreenChoice = 0;
    static constexpr int PaperChoice = 1;
    static constexpr int ScanChoice = 2;
    static constexpr int CancelChoice = 3;

    FrmSelectEntryMethod(Session& session, Services& services, EntryMethodSequences sequences,
                         QWidget* parent = nullptr);

protected:
    void firstShown() override;

private:
    void buildScreen();
    void runChoice(int index);

    EntryMethodSequences m_sequences;

    QGroupBox* m_fraSelectMethod = nullptr;
    QFrame* m_frBlank = nullptr;
    QLabel* m_lblClientName = nullptr;
    std::array<MenuChoice*, 4> m_choices{};
    QLabel* m_msgPanel = nullptr;
};

}  // namespace qlm

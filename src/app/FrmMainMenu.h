#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/FrmDriveSelect.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QTimer;

namespace qlm {

class Messages;
class MenuChoice;
struct Services;
struct Session;

struct MainMenuOptions {
    // The splash's reveal tick and closing tick; tests shorten them.
    int revealTickMs = 10;
    int closeTickMs = 1000;
    // Folder choice behind "Browse..." of the data location dialog; empty: the standard one.
    FolderPicker folderPicker;
    // The file "Export Scores..." writes; empty: the standard save dialog. An empty result
    // means the user closed it.
    std::function<QString(QWidget*)> exportFilePicker;
};

// The main menu: the program's first and last screen, with the client list and the four
// menu choices. Its start-up opens the data location behind the splash screen.
class FrmMainMenu : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int EditChoice = 0;
    static constexpr int AddChoice = 1;
    static constexpr int SupervisorChoice = 2;
    static constexpr int ExitChoice = 3;

    FrmMainMenu(Session& session, Services& services, MainMenuOptions options = {});

    // The start-up steps; false when the program must end instead of showing the menu.
    bool StartUp();
    // What each activation of the menu does: when start-up ends and when the program's own
    // screens close over it, not when the user comes back from another program.
    void Activate();
    // Refills the list; the client chosen before is chosen again.
    void RefreshNameDisplay();
    // Runs a sequence of screens over the menu: meanwhile the list and the current client stay
    // as the screens need them.
    void runScreens(const std::function<void()>& screens);
    void EnableEditChoice();
    // Makes client n the chosen one, as a click on its entry does.
    void SelectClient(int n);
    // The menu in use again after screens that may have added clients: activated, with the
    // client they added (beyond the `clientsBefore` there were) chosen, and the keyboard's,
    // on `focus` where one is given.
    void ReturnToMenu(int clientsBefore, QWidget* focus = nullptr);

    // The screens behind the edit, new-client and supervisor choices (0 to 2), run modally
    // after the data location was checked. A choice without its screens stays disabled.
    void setChoiceScreens(int index, std::function<void()> screens);

    bool NumLockOption() const { return m_numLockOption; }
    bool programEnded() const { return m_programEnded; }
    // Brings the menu (or the screen open over it) to the front for a second copy.
    void comeToFront();

signals:
    void programEnding();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenuBar();
    void buildScreen();
    void runChoice(int index);
    void runSequence(int index);
    void endProgram();
    void changeDataDrive();
    void toggleNumLock();
    void numLockTick();
    void showAbout();
    void exportScores();
    void clientSelected();
    int selectedClient() const;
    void screenClosed();
    // The frame of choices centred across the window, 500 twips above its middle.
    void placeMenuFrame();
    void setListFocusColours(bool focused);
    // The line on the data location in use, and the choices that write it.
    void showDataLocation();
    std::optional<std::string> chooseLocation();

    Session& m_session;
    Services& m_services;
    Messages& m_messages;
    MainMenuOptions m_options;
    std::array<std::function<void()>, 3> m_screens;
    bool m_unloadOthersOnActivate = false;
    bool m_numLockOption = false;
    bool m_programEnded = false;
    bool m_started = false;
    bool m_activationDue = false;
    bool m_screensOpen = false;

    QGroupBox* m_fraClient = nullptr;
    QListWidget* m_lbNameDisplay = nullptr;
    QFrame* m_frMainMenu = nullptr;
    std::array<MenuChoice*, 4> m_choices{};
    QLabel* m_msgPanel = nullptr;
    QLabel* m_lblDataLocation = nullptr;
    QLabel* m_imgTVNLogo = nullptr;
    QAction* m_mnuOptionsNumLock = nullptr;
    QTimer* m_timNumLock = nullptr;
};

}  // namespace qlm

#include "app/FrmMainMenu.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/NumLock.h"
#include "session/ClientList.h"
#include "session/ClientRisk.h"
#include "session/DriveSelect.h"
#include "session/LogAccess.h"
#include "session/ScoreExport.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "storage/FileSystem.h"
#include "supervisor/FrmAbout.h"
#include "supervisor/PublisherLogo.h"
#include "supervisor/ReportPrinting.h"
#include "supervisor/SecretCode.h"
#include "ui/Help.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

constexpr std::array<MenuChoiceText, 4> Choices{{
    {"Edit Current Client", "Edit client's information."},
    {"Add New Client",
     "Enter a new client. Test client on computer or enter data from answer sheet."},
    {"Supervisor Options", "Print client report, verify data entry or delete client names."},
    {"Exit Application", "Quit the program."},
}};

constexpr int LogoPixels = 96;
constexpr int MenuFrameWidth = 260;

// The list flags a client whose report shows a scale in the top risk range.
constexpr const char* HighRiskText = "High risk: ";
bool isFlagged(const std::optional<ClientRisk>& risk) {
    return risk && risk->level >= TopRiskLevel;
}

// Tells when one of the program's windows other than the menu is hidden: one of its screens,
// or a message box, closing.
class ScreenClosedFilter : public QObject {
public:
    ScreenClosedFilter(QWidget* menu, std::function<void()> closed)
        : QObject(menu), m_menu(menu), m_closed(std::move(closed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched != m_menu && watched->isWidgetType()) {
            const auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() &&
                (window->windowType() == Qt::Dialog || window->windowType() == Qt::Window)) {
                m_closed();
            }
        }
        return false;
    }

private:
    QWidget* m_menu;
    std::function<void()> m_closed;
};

constexpr const char* ListPrompt = "Use up or down arrow keys or mouse to select client.";
// On a location opened for reading only, the prompts say why the choices that write are off.
constexpr const char* ReadOnlyListPrompt =
    "Use up or down arrow keys or mouse to select client. This location is read only: clients "
    "cannot be added or edited.";
constexpr const char* ReadOnlySupervisorPrompt =
    "Print client reports. This location is read only: data cannot be verified nor names "
    "deleted.";

}  // namespace

FrmMainMenu::FrmMainMenu(Session& session, Services& services, MainMenuOptions options)
    : m_session(session),
      m_services(services),
      m_messages(services.messages),
      m_options(std::move(options)) {
    setObjectName(QStringLiteral("frmMainMenu"));
    buildMenuBar();
    buildScreen();
    new HelpKey(m_session.GuideFile, services.browser, m_messages, this);
    m_timNumLock = new QTimer(this);
    m_timNumLock->setObjectName(QStringLiteral("timNumLock"));
    m_timNumLock->setInterval(1000);
    connect(m_timNumLock, &QTimer::timeout, this, &FrmMainMenu::numLockTick);
    QCoreApplication::instance()->installEventFilter(
        new ScreenClosedFilter(this, [this] { screenClosed(); }));
    resize(920, 580);
}

void FrmMainMenu::buildMenuBar() {
    auto* exit = menuBar()->addAction(QStringLiteral("E&xit!"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, [this] { runChoice(ExitChoice); });

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuAudio"));
    auto* drive = options->addAction(QStringLiteral("&Change Data Drive"));
    drive->setObjectName(QStringLiteral("mnuDriveSelect"));
    connect(drive, &QAction::triggered, this, &FrmMainMenu::changeDataDrive);
    m_mnuOptionsNumLock = options->addAction(QStringLiteral("&Num Lock Always On"));
    m_mnuOptionsNumLock->setObjectName(QStringLiteral("mnuOptionsNumLock"));
    m_mnuOptionsNumLock->setCheckable(true);
    connect(m_mnuOptionsNumLock, &QAction::triggered, this, &FrmMainMenu::toggleNumLock);
    auto* exportScores = options->addAction(QStringLiteral("&Export Scores..."));
    exportScores->setObjectName(QStringLiteral("mnuExportScores"));
    connect(exportScores, &QAction::triggered, this, &FrmMainMenu::exportScores);

    auto* about = menuBar()->addAction(QStringLiteral("&About..."));
    about->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(about, &QAction::triggered, this, &FrmMainMenu::showAbout);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    // F1 itself is answered on every screen by the help key, not by this menu's shortcut.
    auto* guide = help->addAction(QStringLiteral("&User Guide\tF1"));
    guide->setObjectName(QStringLiteral("mnuHelpGuide"));
    connect(guide, &QAction::triggered, this,
            [this] { ShowHelp(m_session.GuideFile, {}, m_services.browser, m_messages); });
    auto* helpAbout = help->addAction(QStringLiteral("&About..."));
    helpAbout->setObjectName(QStringLiteral("mnuHelpMenuAbout"));
    connect(helpAbout, &QAction::triggered, this, &FrmMainMenu::showAbout);
}

void FrmMainMenu::exportScores() {
    // Every client's scores at once: guarded as a single report is.
    if (!AskSecretCode(m_session.Code, m_services, this)) {
        return;
    }
    const QString file = m_options.exportFilePicker
                             ? m_options.exportFilePicker(this)
                             : QFileDialog::getSaveFileName(this, QStringLiteral("Export Scores"),
                                                            QStringLiteral("scores.csv"),
                                                            QStringLiteral("CSV files (*.csv)"));
    if (file.isEmpty()) {
        return;
    }
    BusyPointer busy;
    try {
        const std::string csv = ScoresCsv(m_session);
        busy.done();
        if (!LogAccess(m_session, m_messages, AccessAction::Export, AllClients(m_session),
                       "The scores were not exported.")) {
            return;
        }
        m_session.Files.replaceFile(file.toLocal8Bit().toStdString(), csv);
        m_messages.show({"The scores of " + std::to_string(m_session.Clients.NumberOfClients()) +
                             " clients were written to " + ToLatin1(file).value_or("the file") +
                             ".",
                         "Export Scores", MsgIcon::Information, MsgButtons::OK});
    } catch (const std::runtime_error& error) {
        busy.done();
        m_messages.show({"The scores were not exported: " + FailureText(error), "Export Scores",
                         MsgIcon::Critical, MsgButtons::OK});
    }
}

void FrmMainMenu::buildScreen() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    m_fraClient = new QGroupBox(QStringLiteral("Client List"), central);
    m_fraClient->setObjectName(QStringLiteral("fraClient"));
    m_lbNameDisplay = new QListWidget(m_fraClient);
    m_lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    m_lbNameDisplay->setAccessibleName(QStringLiteral("Client List"));
    m_lbNameDisplay->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont listFont(QStringLiteral("Monospace"));
    listFont.setStyleHint(QFont::TypeWriter);
    m_lbNameDisplay->setFont(listFont);
    const int iconPixels = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_lbNameDisplay->setIconSize(QSize(iconPixels, iconPixels));
    m_lbNameDisplay->installEventFilter(this);
    connect(m_lbNameDisplay, &QListWidget::itemSelectionChanged, this,
            &FrmMainMenu::clientSelected);
    auto* listLayout = new QVBoxLayout(m_fraClient);
    listLayout->addWidget(m_lbNameDisplay);
    setListFocusColours(false);

    m_msgPanel = MakeMsgPanel(central);

    m_lblDataLocation = new QLabel(central);
    m_lblDataLocation->setObjectName(QStringLiteral("lblDataLocation"));

    m_imgTVNLogo = new QLabel(central);
    m_imgTVNLogo->setObjectName(QStringLiteral("imgTVNLogo"));
    m_imgTVNLogo->setFixedSize(LogoPixels, LogoPixels);

    // Outside the layout: Activate places it, as the window's size says.
    m_frMainMenu = new QFrame(central);
    m_frMainMenu->setObjectName(QStringLiteral("frMainMenu"));
    m_frMainMenu->setFrameStyle(QFrame::Box | QFrame::Raised);
    m_frMainMenu->setFixedWidth(MenuFrameWidth);
    auto* choices = new QVBoxLayout(m_frMainMenu);
    for (int i = 0; i < 4; ++i) {
        auto* choice = new MenuChoice(i, Choices[i], m_msgPanel, m_frMainMenu);
        connect(choice->button(), &QPushButton::clicked, this, [this, i] { runChoice(i); });
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
        // Until its screens are wired, a choice is shown but cannot be chosen.
        choice->button()->setEnabled(i == ExitChoice);
    }

    // The list and the logo stand either side of an empty middle column of equal halves, where
    // the frame of choices is placed.
    auto* grid = new QGridLayout(central);
    grid->addWidget(m_lblDataLocation, 0, 0, 1, 3);
    grid->addWidget(m_fraClient, 1, 0);
    grid->addWidget(m_imgTVNLogo, 1, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_msgPanel, 2, 0, 1, 3);
    grid->setColumnMinimumWidth(1, MenuFrameWidth + 2 * grid->horizontalSpacing());
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    central->installEventFilter(this);

    setTabOrder(m_lbNameDisplay, m_choices[0]->button());
    for (int i = 0; i < 3; ++i) {
        setTabOrder(m_choices[static_cast<std::size_t>(i)]->button(),
                    m_choices[static_cast<std::size_t>(i) + 1]->button());
    }
}

bool FrmMainMenu::StartUp() {
    BusyPointer busy;
    // The workgroup entry keeps the settings file in its usual shape; a failed write does
    // not stop the start.
    m_session.Settings.WriteSystemDB(m_session.ProgramFolder + "/tvnsys.mda");

    busy.done();
    const bool started = StartSession(
        m_session, {[this, &busy] {
                        // Given up, start-up goes on with the location kept (the user's own).
                        const bool opened = SelectDataLocation(m_session, true, m_messages, [this] {
                                                return chooseLocation();
                                            }) != LocationOutcome::EndProgram;
                        busy.resume();
                        return opened;
                    },
                    [this, &busy](const FileError& error) {
                        busy.done();
                        return RetryAfterProgramFileError(error, m_messages);
                    }});
    if (!started) {
        return false;
    }
    m_imgTVNLogo->setPixmap(PublisherLogo(m_session.Publisher, LogoPixels));

    setEnabled(false);
    {
        FrmAbout splash(m_session.Publisher, m_session.PublisherTexts, true, nullptr,
                        m_options.revealTickMs, m_options.closeTickMs);
        splash.show();
        splash.waitForFadeDone();
        busy.resume();
        splash.close();
    }
    setWindowTitle(QStringLiteral("Quillmere"));
    setEnabled(true);
    if (!isMaximized()) {
        CenterForm(this);
    }

    Activate();
    m_numLockOption = m_session.Settings.ReadNumLockSetting();
    m_mnuOptionsNumLock->setChecked(m_numLockOption);
    m_timNumLock->start();
    m_unloadOthersOnActivate = true;
    m_started = true;
    m_lbNameDisplay->setFocus();
    return true;
}

void FrmMainMenu::Activate() {
    m_activationDue = false;
    placeMenuFrame();
    ClearShpButtonColor(this, ExitChoice);
    if (QWidget* focus = focusWidget()) {
        // The choice with the focus keeps its highlight: exactly one choice is lit.
        for (MenuChoice* choice : m_choices) {
            if (choice->button() == focus) {
                choice->setHighlighted(true);
            }
        }
    }
    EnableEditChoice();
    // Not while a sequence's screens are open: the new client they enter is the current one.
    if (m_session.Clients.NumberOfClients() == 0 && !m_screensOpen) {
        m_session.CurrentClient = 0;
    }
    RefreshNameDisplay();
    showDataLocation();
    // Edit is on exactly when a client is chosen; turning it off first would move the focus
    // off it.
    EnableEditChoice();
    if (m_unloadOthersOnActivate) {
        for (QWidget* other : QApplication::topLevelWidgets()) {
            if (other != this && other->isVisible() && qobject_cast<QMenu*>(other) == nullptr) {
                other->close();
            }
        }
    }
}

void FrmMainMenu::RefreshNameDisplay() {
    const int count = m_session.Clients.NumberOfClients();
    if (count <= 0 || m_screensOpen) {
        return;
    }
    std::vector<std::optional<ClientRisk>> risks(static_cast<std::size_t>(count) + 1);
    try {
        risks = ClientRisks(m_session);
    } catch (const std::runtime_error&) {
        // No flags without the scoring tables; a report names what is missing.
    }
    const QIcon flag = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    // The names of the clients not flagged stay in line with those of the flagged ones.
    QPixmap blank(m_lbNameDisplay->iconSize());
    blank.fill(Qt::transparent);
    const bool anyFlagged = std::ranges::any_of(risks, isFlagged);
    const int chosen = selectedClient();
    // Quietly until the same client is chosen again: the current client and a focused Edit
    // choice stay as they are.
    QSignalBlocker quiet(m_lbNameDisplay);
    m_lbNameDisplay->clear();
    for (int n = 1; n <= count; ++n) {
        auto* item = new QListWidgetItem(FromLatin1(MarkedClientListItem(m_session, n)));
        if (const auto& risk = risks[static_cast<std::size_t>(n)]; isFlagged(risk)) {
            const QString text = QLatin1String(HighRiskText) + FromLatin1(risk->scaleList());
            item->setIcon(flag);
            item->setToolTip(text);
            item->setData(Qt::AccessibleDescriptionRole, text);
        } else if (anyFlagged) {
            item->setIcon(QIcon(blank));
        }
        m_lbNameDisplay->addItem(item);
    }
    quiet.unblock();
    SelectClient(chosen);
}

void FrmMainMenu::SelectClient(int n) {
    if (n >= 1 && n <= m_lbNameDisplay->count()) {
        m_lbNameDisplay->setCurrentRow(n - 1, QItemSelectionModel::ClearAndSelect);
    }
}

int FrmMainMenu::selectedClient() const {
    const auto selected = m_lbNameDisplay->selectedItems();
    return selected.isEmpty() ? 0 : m_lbNameDisplay->row(selected.first()) + 1;
}

void FrmMainMenu::ReturnToMenu(int clientsBefore, QWidget* focus) {
    const int added = m_session.Clients.NumberOfClients() > clientsBefore &&
                              m_session.CurrentClient > clientsBefore
                          ? m_session.CurrentClient
                          : 0;
    Activate();
    SelectClient(added);
    if (focus != nullptr) {
        focus->setFocus();
    }
    // When the last screens close together, a window manager can leave the keyboard with none
    // of the program's windows; the menu asks for it back.
    raise();
    activateWindow();
}

void FrmMainMenu::screenClosed() {
    if (!m_started || m_activationDue) {
        return;
    }
    // Once the closing is done, and only when no other screen of ours is left over the menu.
    m_activationDue = true;
    QTimer::singleShot(0, this, [this] {
        if (std::exchange(m_activationDue, false) && !m_programEnded &&
            QApplication::activeModalWidget() == nullptr) {
            Activate();
        }
    });
}

void FrmMainMenu::placeMenuFrame() {
    const QWidget* area = centralWidget();
    m_frMainMenu->adjustSize();
    const int lift = qRound(1000 * area->logicalDpiY() / 1440.0);
    m_frMainMenu->move((area->width() - m_frMainMenu->width()) / 2,
                       std::max(0, area->height() / 2 - (m_frMainMenu->height() + lift) / 2));
}

void FrmMainMenu::EnableEditChoice() {
    const auto selected = m_lbNameDisplay->selectedItems();
    const bool itemChosen = !selected.isEmpty() && !selected.first()->text().isEmpty();
    m_choices[EditChoice]->button()->setEnabled(itemChosen && m_screens[EditChoice] &&
                                                !m_session.Clients.readOnly());
}

void FrmMainMenu::setChoiceScreens(int index, std::function<void()> screens) {
    m_screens.at(static_cast<std::size_t>(index)) = std::move(screens);
    showDataLocation();
}

void FrmMainMenu::showDataLocation() {
    const bool readOnly = m_session.Clients.readOnly();
    m_lblDataLocation->setText(
        m_session.DataPath.empty()
            ? QString()
            : QString::fromStdString(LocationSummary(
                  m_session.DataPath, m_session.Clients.NumberOfClients(), readOnly)));
    // What writes is off on a location opened for reading only.
    m_choices[AddChoice]->button()->setEnabled(m_screens[AddChoice] && !readOnly);
    m_choices[SupervisorChoice]->button()->setEnabled(
        static_cast<bool>(m_screens[SupervisorChoice]));
    m_choices[SupervisorChoice]->setPrompt(
        m_msgPanel, QString::fromLatin1(readOnly ? ReadOnlySupervisorPrompt
                                                 : Choices[SupervisorChoice].prompt));
    EnableEditChoice();
}

void FrmMainMenu::clientSelected() {
    EnableEditChoice();
    const auto selected = m_lbNameDisplay->selectedItems();
    if (!selected.isEmpty()) {
        m_session.CurrentClient =
            ClientOfListItem(selected.first()->text().toLatin1().toStdString());
    }
}

void FrmMainMenu::setListFocusColours(bool focused) {
    SetColours(m_fraClient, focused ? Cyan : Blue, focused ? Black : White);
    SetBold(m_fraClient, focused);
    // The list keeps its own font whatever the caption's weight.
    SetBold(m_lbNameDisplay, false);
}

bool FrmMainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        placeMenuFrame();
    }
    if (watched == m_lbNameDisplay) {
        if (event->type() == QEvent::FocusIn) {
            if (m_session.Clients.NumberOfClients() < 1) {
                // Where no client can be added either, to the next choice that can be made.
                const int next =
                    m_choices[AddChoice]->button()->isEnabled() ? AddChoice : SupervisorChoice;
                QPushButton* choice = m_choices[static_cast<std::size_t>(next)]->button();
                QTimer::singleShot(0, choice, [choice] { choice->setFocus(Qt::OtherFocusReason); });
            } else {
                setListFocusColours(true);
                m_msgPanel->setText(QString::fromLatin1(
                    m_session.Clients.readOnly() ? ReadOnlyListPrompt : ListPrompt));
                EnableEditChoice();
            }
        } else if (event->type() == QEvent::FocusOut) {
            setListFocusColours(false);
            m_msgPanel->clear();
        } else if (event->type() == QEvent::KeyPress) {
            // The list stands on its first entry, unchosen, once it has the focus: with
            // nothing chosen yet, Down chooses that first client rather than the second.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Down && m_lbNameDisplay->selectedItems().isEmpty() &&
                m_lbNameDisplay->currentRow() == 0) {
                m_lbNameDisplay->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
                return true;
            }
            EnableEditChoice();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMainMenu::runChoice(int index) {
    if (index == ExitChoice) {
        endProgram();
        return;
    }
    if (!m_screens.at(static_cast<std::size_t>(index))) {
        return;
    }
    BusyPointer busy;
    const bool locationOk = CheckDataLocation(m_session, m_messages);
    busy.done();
    if (!locationOk) {
        endProgram();
        return;
    }
    RefreshNameDisplay();  // clients another program added are on the list now
    showDataLocation();
    runSequence(index);
}

void FrmMainMenu::runScreens(const std::function<void()>& screens) {
    m_screensOpen = true;
    screens();
    m_screensOpen = false;
}

void FrmMainMenu::runSequence(int index) {
    if (index == EditChoice) {
        m_unloadOthersOnActivate = false;
    }
    m_frMainMenu->hide();
    const int clientsBefore = m_session.Clients.NumberOfClients();
    runScreens(m_screens[static_cast<std::size_t>(index)]);
    m_unloadOthersOnActivate = true;
    m_frMainMenu->show();
    // The sequence may have added a client: the list shows the file as it is now.
    ReturnToMenu(clientsBefore, m_choices[static_cast<std::size_t>(index)]->button());
}

void FrmMainMenu::endProgram() {
    m_programEnded = true;
    m_timNumLock->stop();
    emit programEnding();
    close();
    QCoreApplication::quit();
}

std::optional<std::string> FrmMainMenu::chooseLocation() {
    // Before any location is open, the dialog offers the user's own folder.
    return FrmDriveSelect::Choose(
        m_session.DataPath.empty() ? m_session.OwnDataPath : m_session.DataPath, m_messages,
        m_options.folderPicker, isVisible() ? this : nullptr);
}

void FrmMainMenu::changeDataDrive() {
    MOUSEDEFAULT();
    switch (SelectDataLocation(m_session, false, m_messages, [this] { return chooseLocation(); })) {
        case LocationOutcome::Opened:
            m_lbNameDisplay->clear();
            RefreshNameDisplay();
            showDataLocation();
            break;
        case LocationOutcome::EndProgram:
            endProgram();
            break;
        case LocationOutcome::Kept:
            break;
    }
}

void FrmMainMenu::toggleNumLock() {
    m_numLockOption = !m_numLockOption;
    m_mnuOptionsNumLock->setChecked(m_numLockOption);
    m_session.Settings.WriteNumLockSetting(m_numLockOption);
    // The timer stops itself while the option is off; turning it on again restarts it.
    if (m_numLockOption) {
        m_timNumLock->start();
    }
}

void FrmMainMenu::numLockTick() {
    if (!m_numLockOption) {
        m_timNumLock->stop();
        return;
    }
    HoldNumLockOn();
}

void FrmMainMenu::showAbout() {
    FrmAbout about(m_session.Publisher, m_session.PublisherTexts, false, this,
                   m_options.revealTickMs, m_options.closeTickMs);
    about.exec();
}

void FrmMainMenu::comeToFront() {
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr) {
        front = this;
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    }
    front->raise();
    front->activateWindow();
}

}  // namespace qlm

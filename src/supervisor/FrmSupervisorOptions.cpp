#include "supervisor/FrmSupervisorOptions.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <numeric>

#include "answersheet/FrmVerify.h"
#include "session/CheckedSave.h"
#include "session/Session.h"
#include "supervisor/DeleteNames.h"
#include "supervisor/FrmPrintSelected.h"
#include "supervisor/FrmViewReport.h"
#include "supervisor/ReportPrinting.h"
#include "supervisor/SecretCode.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

constexpr std::array<MenuChoiceText, 2> Choices{{
    {"Execute Selection", "Perform the selected operation."},
    {"Go to Main Menu", "Close the Utilites window returning to the Main Menu."},
}};

constexpr std::array<const char*, 3> PrintOptions{"Print above current client's report",
                                                  "Select and print multiple clients' reports",
                                                  "Print all clients' reports"};
constexpr std::array<const char*, 3> GuardTitles{"Print Report", "Verify Data", "Delete Names"};

constexpr const char* VerifyComment =
    "This option gives you the opportunity to re-enter the client's responses from the answer "
    "sheet.  After you enter the responses, any differences from what was just entered and what "
    "was previously stored will be reported.  This gives you  the opportunity to correct any "
    "errors.";
constexpr const char* DeleteComment =
    "This operation will delete the client's name and ID number from the client database.  USE "
    "WITH CAUTION!  Once the name has been deleted on this data disk, it CANNOT be retrieved.  "
    "All other associated client data, demographics, court history and responses will NOT be "
    "deleted.  Use this operation to protect client confidentiality when you are done with the "
    "disk.";

QGroupBox* commentFrame(const char* name, const char* text, QWidget* parent,
                        const char* labelName) {
    auto* frame = new QGroupBox(QStringLiteral("Operation Comments"), parent);
    frame->setObjectName(QString::fromLatin1(name));
    auto* label = new QLabel(QString::fromLatin1(text), frame);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setWordWrap(true);
    (new QVBoxLayout(frame))->addWidget(label);
    return frame;
}

}  // namespace

FrmSupervisorOptions::FrmSupervisorOptions(Session& session, Services& services, QWidget* parent)
    : Screen("frmSupervisorOptions", QStringLiteral("Supervisor Options"), parent),
      m_session(session),
      m_services(services) {
    m_msgPanel = MakeMsgPanel(this);

    auto* frControls = new QFrame(this);
    frControls->setObjectName(QStringLiteral("frControls"));

    // The tab control has a highlight panel of its own, as a menu choice does.
    m_tabPanel = new QFrame(frControls);
    m_tabPanel->setObjectName(QStringLiteral("sspMenuChoice_2"));
    m_tabPanel->setAutoFillBackground(true);
    m_sstSupervisorOperations = new QTabWidget(m_tabPanel);
    m_sstSupervisorOperations->setObjectName(QStringLiteral("sstSupervisorOperations"));
    m_sstSupervisorOperations->setAccessibleName(QStringLiteral("Supervisor Operations"));
    (new QVBoxLayout(m_tabPanel))->addWidget(m_sstSupervisorOperations);

    auto* frame1 = new QGroupBox(QStringLiteral("Choose Report Operation"));
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(frame1);
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(PrintOptions.at(i)), frame1);
        option->setObjectName(QStringLiteral("optPrintOption_%1").arg(i));
        option->installEventFilter(this);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                m_printOption = i;
            }
        });
        options->addWidget(option);
        m_optPrintOption[static_cast<std::size_t>(i)] = option;
    }
    m_optPrintOption[0]->setChecked(true);
    m_sstSupervisorOperations->addTab(frame1, QStringLiteral("&Reports"));
    m_sstSupervisorOperations->addTab(commentFrame("Frame3", VerifyComment, nullptr, "Label1"),
                                      QStringLiteral("&Verify Data"));
    m_sstSupervisorOperations->addTab(commentFrame("Frame4", DeleteComment, nullptr, "Label2"),
                                      QStringLiteral("&Delete Names"));
    // A location opened for reading only is neither verified nor stripped of its names.
    m_sstSupervisorOperations->setTabEnabled(VerifyTab, !m_session.Clients.readOnly());
    m_sstSupervisorOperations->setTabEnabled(DeleteNamesTab, !m_session.Clients.readOnly());
    // The panel's colours hold for every state; a tab that is off is greyed all the same.
    QPalette greyed;
    greyed.setColor(QPalette::Disabled, QPalette::WindowText, Qt::darkGray);
    m_sstSupervisorOperations->tabBar()->setPalette(greyed);
    m_sstSupervisorOperations->tabBar()->installEventFilter(this);
    connect(m_sstSupervisorOperations, &QTabWidget::currentChanged, this,
            &FrmSupervisorOptions::tabChanged);

    auto* frCurrentClient = new QGroupBox(frControls);
    frCurrentClient->setObjectName(QStringLiteral("frCurrentClient"));
    m_lblNameDisplay = new QLabel(frCurrentClient);
    m_lblNameDisplay->setObjectName(QStringLiteral("lblNameDisplay"));
    SetBold(m_lblNameDisplay, true);
    (new QVBoxLayout(frCurrentClient))->addWidget(m_lblNameDisplay, 0, Qt::AlignHCenter);

    auto* choices = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* choice =
            new MenuChoice(i, Choices[static_cast<std::size_t>(i)], m_msgPanel, frControls);
        connect(choice->button(), &MenuChoiceButton::focusChanged, this, [this](bool in) {
            if (in) {
                SetColours(m_tabPanel, Blue, Black);
            }
        });
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }
    connect(m_choices[0]->button(), &QPushButton::clicked, this, &FrmSupervisorOptions::execute);
    connect(m_choices[1]->button(), &QPushButton::clicked, this, &QDialog::reject);

    auto* controls = new QVBoxLayout(frControls);
    controls->addWidget(frCurrentClient);
    controls->addWidget(m_tabPanel, 1);
    controls->addLayout(choices);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frControls, 1);
    layout->addWidget(m_msgPanel);
    SetColours(m_tabPanel, Blue, Black);

    m_emptyDisk = m_session.Clients.NumberOfClients() < 1;
    m_lblNameDisplay->setText(currentName());
    resize(640, 480);
}

QString FrmSupervisorOptions::currentName() const {
    if (m_emptyDisk) {
        return {};
    }
    return FromLatin1(m_session.current().Name);
}

void FrmSupervisorOptions::firstShown() {
    // The tab control's own background, around its tabs and pages.
    QPalette tabs = m_sstSupervisorOperations->palette();
    tabs.setColor(QPalette::Window, FromBGR(Blue));
    m_sstSupervisorOperations->setPalette(tabs);
    m_sstSupervisorOperations->setAutoFillBackground(true);
    if (m_emptyDisk) {
        // Said once the window is up, then it closes.
        QTimer::singleShot(0, this, [this] {
            m_services.messages.show(
                {"There are no clients on this data disk.\r\nReturning to main menu.",
                 "Empty Data Disk", MsgIcon::Information, MsgButtons::OK});
            reject();
        });
        return;
    }
    m_sstSupervisorOperations->tabBar()->setFocus(Qt::OtherFocusReason);
    if (m_session.Code.defaultNoticeDue()) {
        QTimer::singleShot(0, this, [this] {
            m_services.messages.show(
                {"The default secret code is in use. An administrator can give this site a code of "
                 "its own with \"qlm code set\".",
                 "Default Secret Code", MsgIcon::Information, MsgButtons::OK});
        });
    }
}

bool FrmSupervisorOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sstSupervisorOperations->tabBar()) {
        if (event->type() == QEvent::FocusIn) {
            SetColours(m_tabPanel, Cyan, Black);
            if (m_session.Clients.readOnly()) {
                m_msgPanel->setText(QStringLiteral(
                    "This data location is read only: Verify Data and Delete Names are off."));
            }
            if (m_sstSupervisorOperations->currentIndex() != ReportsTab) {
                m_choices[0]->button()->setFocus(Qt::TabFocusReason);
            }
        } else if (event->type() == QEvent::FocusOut) {
            SetColours(m_tabPanel, Blue, Black);
        }
    }
    for (QRadioButton* option : m_optPrintOption) {
        if (watched == option && event->type() == QEvent::FocusIn) {
            SetBold(option, true);
            m_msgPanel->setText(
                QStringLiteral("Use the arrow keys or mouse to choose print operation."));
        } else if (watched == option && event->type() == QEvent::FocusOut) {
            SetBold(option, false);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmSupervisorOptions::tabChanged(int tab) {
    SetColours(m_tabPanel, Cyan, Black);
    if (tab == m_lastTab) {
        return;
    }
    m_lastTab = tab;
    switch (tab) {
        case ReportsTab:
            m_msgPanel->clear();
            m_lblNameDisplay->setText(currentName());
            m_optPrintOption[static_cast<std::size_t>(m_printOption)]->setChecked(true);
            break;
        case VerifyTab:
            m_msgPanel->setText(QStringLiteral("Click Execute to perform data verification."));
            m_lblNameDisplay->setText(currentName());
            break;
        default:
            m_msgPanel->setText(QStringLiteral("Click Execute to perform delete names operation."));
            m_lblNameDisplay->setText(QStringLiteral("All Clients"));
            break;
    }
}

void FrmSupervisorOptions::execute() {
    const int tab = m_sstSupervisorOperations->currentIndex();
    if (m_session.Clients.NumberOfClients() < 1) {
        m_services.messages.show({"Database empty.\r\nCannot perform this function.",
                                  GuardTitles.at(static_cast<std::size_t>(tab)),
                                  MsgIcon::Information, MsgButtons::OK});
        accept();
        return;
    }
    switch (tab) {
        case ReportsTab:
            if (AskSecretCode(m_session.Code, m_services, this)) {
                runReportOption();
            }
            break;
        case VerifyTab: {
            const int n = m_session.CurrentClient;
            if (const std::string& damage = m_session.Clients.damage(n); !damage.empty()) {
                m_services.messages.show(DamagedRecordMessage(n, damage, "verified"));
                break;
            }
            FrmVerify verify(m_session, m_services, this);
            verify.exec();
            break;
        }
        default:
            DelNames(m_session, m_services.messages);
            break;
    }
    accept();
}

void FrmSupervisorOptions::runReportOption() {
    switch (m_printOption) {
        case 0: {
            FrmViewReport view(m_session, m_services, this);
            view.exec();
            break;
        }
        case 1: {
            FrmPrintSelected select(m_session, m_services, this);
            select.exec();
            break;
        }
        default: {
            // Every client in client order; the client current before stays current after.
            const int current = m_session.CurrentClient;
            std::vector<int> all(static_cast<std::size_t>(m_session.Clients.NumberOfClients()));
            std::iota(all.begin(), all.end(), 1);
            PrintClientReports(m_session, m_services, all);
            m_session.CurrentClient = current;
            break;
        }
    }
}

}  // namespace qlm

#include "supervisor/FrmPrintSelected.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "report/ReportFont.h"
#include "session/ClientList.h"
#include "session/Session.h"
#include "supervisor/ReportPrinting.h"
#include "ui/MenuChoice.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"

namespace qlm {

namespace {

constexpr std::array<MenuChoiceText, 3> Choices{{
    {"Print Selected", "Print selected client reports"},
    {"Select All", "Select all client reports for printing"},
    {"Return to Main Menu", "Cancel selections and printing."},
}};

constexpr const char* Instructions =
    "- Select the client names of the\n  reports you want to print by\n  clicking on them.\n"
    "- Use the scroll bar to view more\n  names.\n- If some of the names you have\n"
    "  selected scroll up or down out\n  of view, they are still selected\n  and will print.\n"
    "- Click the \"Select All\" button to\n  select all the names in the list.\n"
    "- Click the \"Print Selected\" button\n  to print all the reports you have\n  selected.\n"
    "- Click the \"Return to Main Menu\"\n  button to cancel selections and\n"
    "  return to the Main Menu.";

}  // namespace

FrmPrintSelected::FrmPrintSelected(Session& session, Services& services, QWidget* parent)
    : Screen("frmPrintSelected", QStringLiteral("Print Selected Reports"), parent),
      m_session(session),
      m_services(services) {
    m_msgPanel = MakeMsgPanel(this);

    auto* fraAll = new QFrame(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    m_fraClient = new QGroupBox(QStringLiteral("Client List"), fraAll);
    m_fraClient->setObjectName(QStringLiteral("fraClient"));
    m_fraClient->setAutoFillBackground(true);
    m_lbNameDisplay = new QListWidget(m_fraClient);
    m_lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    m_lbNameDisplay->setSelectionMode(QAbstractItemView::MultiSelection);
    m_lbNameDisplay->setFont(ReportFont(10));
    m_lbNameDisplay->installEventFilter(this);
    (new QVBoxLayout(m_fraClient))->addWidget(m_lbNameDisplay);
    connect(m_lbNameDisplay, &QListWidget::currentRowChanged, this,
            &FrmPrintSelected::UpdatePrintChoice);

    auto* txtInstructions = new QLabel(QString::fromLatin1(Instructions), fraAll);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    txtInstructions->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    txtInstructions->setMargin(6);

    auto* choices = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* choice = new MenuChoice(i, Choices[static_cast<std::size_t>(i)], m_msgPanel, fraAll);
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }
    choices->addWidget(txtInstructions);
    choices->addStretch();
    connect(m_choices[0]->button(), &QPushButton::clicked, this, &FrmPrintSelected::printSelected);
    connect(m_choices[1]->button(), &QPushButton::clicked, m_lbNameDisplay,
            &QListWidget::selectAll);
    connect(m_choices[2]->button(), &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout(fraAll);
    row->addWidget(m_fraClient, 1);
    row->addLayout(choices);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraAll, 1);
    layout->addWidget(m_msgPanel);
    setTabOrder(m_lbNameDisplay, m_choices[0]->button());
    setTabOrder(m_choices[0]->button(), m_choices[1]->button());
    setTabOrder(m_choices[1]->button(), m_choices[2]->button());

    ClearShpButtonColor(this, 2);
    FillClientList();
    UpdatePrintChoice();
    SetColours(m_fraClient, Blue, White);
    resize(760, 560);
}

void FrmPrintSelected::FillClientList() {
    m_lbNameDisplay->clear();
    for (int n = 1; n <= m_session.Clients.NumberOfClients(); ++n) {
        m_lbNameDisplay->addItem(FromLatin1(ClientListItem(n, m_session.Clients.entry(n))));
    }
    // The current entry without selecting it: nothing prints until chosen.
    m_lbNameDisplay->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void FrmPrintSelected::UpdatePrintChoice() {
    const QListWidgetItem* current = m_lbNameDisplay->currentItem();
    m_choices[0]->button()->setEnabled(current != nullptr && !current->text().isEmpty());
}

bool FrmPrintSelected::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lbNameDisplay) {
        if (event->type() == QEvent::FocusIn) {
            SetColours(m_fraClient, Cyan, Black);
            SetBold(m_fraClient, true);
            m_msgPanel->setText(
                QStringLiteral("Use up or down arrow keys or mouse to select client."));
            UpdatePrintChoice();
        } else if (event->type() == QEvent::FocusOut) {
            SetColours(m_fraClient, Blue, White);
            SetBold(m_fraClient, false);
            m_msgPanel->clear();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPrintSelected::printSelected() {
    std::vector<int> clients;
    for (int k = 0; k < m_lbNameDisplay->count(); ++k) {
        if (m_lbNameDisplay->item(k)->isSelected()) {
            clients.push_back(k + 1);
        }
    }
    if (!clients.empty()) {
        PrintClientReports(m_session, m_services, clients);
    }
    accept();
}

}  // namespace qlm

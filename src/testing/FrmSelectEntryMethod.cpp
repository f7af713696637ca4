#include "testing/FrmSelectEntryMethod.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"

namespace qlm {

namespace {

constexpr std::array<MenuChoiceText, 4> Choices{{
    {"Administer Test to Client",
     "Onscreen Presentation. Enter client information then present the test on the computer."},
    {"Enter Test Data from Answer Sheet",
     "Paper-Pencil Presentation. Manually enter test information from completed answer sheet."},
    {"Scan Answer Sheet", "Optical Scanner Presentation. Scan completed answer sheet."},
    {"Cancel New Client Entry", "Cancel. Do not enter a new client. Return to Main Menu."},
}};

}  // namespace

FrmSelectEntryMethod::FrmSelectEntryMethod(Session&, Services&, EntryMethodSequences sequences,
                                           QWidget* parent)
    : Screen("frmSelectEntryMethod", QStringLiteral("Entry Method"), parent),
      m_sequences(std::move(sequences)) {
    buildScreen();
    resize(640, 420);
}

void FrmSelectEntryMethod::buildScreen() {
    m_lblClientName = new QLabel(this);
    m_lblClientName->setObjectName(QStringLiteral("lblClientName"));
    m_lblClientName->hide();

    m_msgPanel = MakeMsgPanel(this);

    m_fraSelectMethod = new QGroupBox(QStringLiteral("Select Client Data Entry Method"), this);
    m_fraSelectMethod->setObjectName(QStringLiteral("fraSelectMethod"));
    m_fraSelectMethod->setFixedWidth(360);
    auto* choices = new QVBoxLayout(m_fraSelectMethod);
    for (int i = 0; i < 4; ++i) {
        const auto& text = Choices[static_cast<std::size_t>(i)];
        // This screen's highlight elements are shapes, and carry that name.
        auto* choice =
            new MenuChoice(QStringLiteral("shpMenuChoice_%1").arg(i), MenuChoice::buttonName(i),
                           QString::fromLatin1(text.caption), m_fraSelectMethod);
        choice->setPrompt(m_msgPanel, QString::fromLatin1(text.prompt));
        connect(choice->button(), &QPushButton::clicked, this, [this, i] { runChoice(i); });
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }
    // The scanner has its place among the choices but no working path.
    m_choices[ScanChoice]->hide();
    // A method without its screens is shown, but cannot be chosen.
    m_choices[OnscreenChoice]->button()->setEnabled(static_cast<bool>(m_sequences.onscreenTest));
    m_choices[PaperChoice]->button()->setEnabled(static_cast<bool>(m_sequences.paperSheet));

    // The blank frame stands where the choices are and shows once they are hidden.
    m_frBlank = new QFrame(this);
    m_frBlank->setObjectName(QStringLiteral("frBlank"));
    m_frBlank->setFixedWidth(m_fraSelectMethod->width());
    m_frBlank->setMinimumHeight(m_fraSelectMethod->sizeHint().height());

    auto* centre = new QGridLayout;
    centre->addWidget(m_frBlank, 0, 0, Qt::AlignCenter);
    centre->addWidget(m_fraSelectMethod, 0, 0, Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblClientName, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    layout->addLayout(centre);
    layout->addStretch(3);
    layout->addWidget(m_msgPanel);
}

void FrmSelectEntryMethod::firstShown() {
    for (MenuChoice* choice : m_choices) {
        choice->setHighlighted(false);
    }
    for (MenuChoice* choice : m_choices) {
        if (choice->isVisible() && choice->button()->isEnabled()) {
            choice->button()->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

void FrmSelectEntryMethod::runChoice(int index) {
    switch (index) {
        case OnscreenChoice:
            if (m_sequences.onscreenTest) {
                m_sequences.onscreenTest();
            }
            break;
        case PaperChoice:
            if (m_sequences.paperSheet) {
                m_sequences.paperSheet();
            }
            break;
        case ScanChoice:
            m_fraSelectMethod->hide();
            break;
        default:
            break;
    }
    done(index == CancelChoice ? QDialog::Rejected : QDialog::Accepted);
}

}  // namespace qlm

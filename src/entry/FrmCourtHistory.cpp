#include "entry/FrmCourtHistory.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

#include "session/Operations.h"
#include "session/Session.h"
#include "ui/CloseGuard.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

constexpr std::array<MenuChoiceText, 2> Choices{{
    {"Information OK", "If information is correct press Enter or press Tab to change an entry."},
    {"Cancel Input", "Cancel information input and return to Main Menu."},
}};

const CourtField& fieldAt(int k) {
    return CourtFields()[static_cast<std::size_t>(k)];
}

}  // namespace

FrmCourtHistory::FrmCourtHistory(Session& session, Services& services, EntryMode mode,
                                 QWidget* parent)
    : Screen("frmCourtHistory", QStringLiteral("Court History"), parent),
      m_session(session),
      m_services(services),
      m_mode(mode) {
    keepOnEscape();
    buildScreen();

    // The way out for staff: gone at once, nothing checked or stored.
    auto* leave = new QShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_F10), this);
    leave->setContext(Qt::WindowShortcut);
    connect(leave, &QShortcut::activated, this, [this] { done(QDialog::Rejected); });

    if (m_mode == EntryMode::Edit) {
        const CourtTexts texts = GetCourtData(currentRecord());
        for (int k = 0; k < CourtFieldCount; ++k) {
            m_fields[static_cast<std::size_t>(k)]->setText(
                FromLatin1(texts[static_cast<std::size_t>(k)]));
        }
    }
    m_openedWith = shownTexts();
    new CloseGuard(this, m_services.messages, [this] { return shownTexts() != m_openedWith; });
    resize(640, 520);
}

void FrmCourtHistory::buildScreen() {
    m_lblClientName = MakeClientNameLabel(this);

    m_frCourt = new QFrame(this);
    m_frCourt->setObjectName(QStringLiteral("frCourt"));
    m_frCourt->setFrameStyle(QFrame::Box | QFrame::Raised);
    auto* grid = new QGridLayout(m_frCourt);
    for (int k = 0; k < CourtFieldCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const CourtField& f = fieldAt(k);
        auto* caption = new QLabel(FromLatin1(f.caption), m_frCourt);
        caption->setObjectName(QStringLiteral("lblInfo_%1").arg(k));
        auto* edit = new QLineEdit(m_frCourt);
        edit->setObjectName(FromLatin1("txt" + f.name));
        edit->setMaxLength(2);
        edit->setFixedWidth(48);
        edit->installEventFilter(this);
        caption->setBuddy(edit);
        grid->addWidget(caption, k, 0);
        grid->addWidget(edit, k, 1);
        m_captions[i] = caption;
        m_fields[i] = edit;
    }
    grid->setColumnStretch(0, 1);

    m_msgPanel = MakeMsgPanel(this);

    auto* choices = new QHBoxLayout;
    choices->addStretch();
    for (int i = 0; i < 2; ++i) {
        auto* choice = new MenuChoice(i, Choices[i], m_msgPanel, this);
        choice->setFixedWidth(220);
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }
    choices->addStretch();
    connect(m_choices[OkChoice]->button(), &QPushButton::clicked, this,
            &FrmCourtHistory::informationOK);
    connect(m_choices[CancelChoice]->button(), &QPushButton::clicked, this,
            &FrmCourtHistory::cancelInput);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblClientName, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(m_frCourt, 0, Qt::AlignHCenter);
    layout->addLayout(choices);
    layout->addStretch(1);
    layout->addWidget(m_msgPanel);

    for (int k = 0; k + 1 < CourtFieldCount; ++k) {
        setTabOrder(m_fields[static_cast<std::size_t>(k)],
                    m_fields[static_cast<std::size_t>(k) + 1]);
    }
    setTabOrder(m_fields.back(), m_choices[OkChoice]->button());
    setTabOrder(m_choices[OkChoice]->button(), m_choices[CancelChoice]->button());
}

ClientRecord& FrmCourtHistory::currentRecord() {
    return m_session.current();
}

void FrmCourtHistory::firstShown() {
    ClearShpButtonColor(this, CancelChoice);
    m_lblClientName->setText(FromLatin1(currentRecord().Name.substr(0, 25)));
    m_lblClientName->setVisible(true);
    if (m_mode != EntryMode::NewClient) {
        m_choices[OkChoice]->button()->setFocus(Qt::OtherFocusReason);
    } else {
        m_fields.front()->setFocus(Qt::OtherFocusReason);
    }
}

bool FrmCourtHistory::eventFilter(QObject* watched, QEvent* event) {
    for (int k = 0; k < CourtFieldCount; ++k) {
        QLineEdit* edit = m_fields[static_cast<std::size_t>(k)];
        if (watched != edit) {
            continue;
        }
        switch (event->type()) {
            case QEvent::FocusIn:
                SelectAllText();
                SetInfoLabelBold(this, CourtFieldCount - 1, k);
                m_msgPanel->setText(FromLatin1(fieldAt(k).prompt));
                break;
            case QEvent::FocusOut:
                if (NormalizeCourtText(fieldText(k)) == "N") {
                    edit->setText(QStringLiteral("N"));
                }
                SetBold(m_captions[static_cast<std::size_t>(k)], false);
                break;
            case QEvent::KeyPress: {
                const auto* key = static_cast<QKeyEvent*>(event);
                const bool accepts = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                     (key->key() == Qt::Key_Tab && key->modifiers() == 0);
                if (accepts) {
                    acceptField(k);
                    return true;
                }
                break;
            }
            default:
                break;
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

std::string FrmCourtHistory::fieldText(int k) const {
    // A character without a single-byte form is no digit: "?" stands for it and is refused.
    return ToLatin1(m_fields[static_cast<std::size_t>(k)]->text()).value_or("?");
}

QStringList FrmCourtHistory::shownTexts() const {
    QStringList texts;
    for (const QLineEdit* edit : m_fields) {
        texts << edit->text();
    }
    return texts;
}

void FrmCourtHistory::acceptField(int k) {
    QLineEdit* edit = m_fields[static_cast<std::size_t>(k)];
    if (const auto typed = ToLatin1(edit->text())) {
        edit->setText(FromLatin1(NormalizeCourtText(*typed)));
    }
    if (!CheckCourtField(fieldAt(k), fieldText(k))) {
        refuseField(k);
        return;
    }
    QWidget* next = m_choices[OkChoice]->button();
    if (k + 1 < CourtFieldCount) {
        next = m_fields[static_cast<std::size_t>(k) + 1];
    }
    next->setFocus(Qt::TabFocusReason);
}

void FrmCourtHistory::refuseField(int k) {
    m_services.messages.beep();
    m_services.messages.show(
        {fieldAt(k).message, CourtEntryErrorTitle, MsgIcon::Critical, MsgButtons::OK});
    m_fields[static_cast<std::size_t>(k)]->setFocus(Qt::OtherFocusReason);
}

void FrmCourtHistory::informationOK() {
    CourtTexts texts;
    for (int k = 0; k < CourtFieldCount; ++k) {
        texts[static_cast<std::size_t>(k)] = fieldText(k);
    }
    if (const int refused = FirstRefusedCourtField(texts); refused >= 0) {
        acceptField(refused);
        return;
    }
    // Told, not refused: the staff may know better than the numbers.
    const std::string age = Trim(currentRecord().Age);
    if (FirstArrestAfterAge(texts[0], age)) {
        m_services.messages.show(
            {"The age at first arrest, " + Trim(texts[0]) + ", is above the client's age, " + age +
                 ". The court history is kept as typed; please check it. Press Enter to "
                 "continue.",
             "Please Check", MsgIcon::Exclamation, MsgButtons::OK});
    }
    SaveCourtData(currentRecord(), texts);
    done(QDialog::Accepted);
}

void FrmCourtHistory::reject() {
    cancelInput();
}

void FrmCourtHistory::cancelInput() {
    if (m_mode != EntryMode::Edit) {
        ClearClient(m_session);
    }
    done(QDialog::Rejected);
}

}  // namespace qlm

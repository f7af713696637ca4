#include "entry/FrmClientInfo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "session/CheckedSave.h"
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

struct FieldText {
    const char* caption;
    const char* prompt;
    const char* refused;
};

constexpr std::array<FieldText, ClientInfoFieldCount> Fields{{
    {"Name:", "Type client's name (up to 25 characters) or N for not available, then press Enter.",
     "Enter client's name. Press Enter to continue."},
    {"Age:", "Type age in years or N for not available, then press Enter.",
     "Enter age of client in number of years. Press Enter to continue."},
    {"Sex:", "Use up or down arrow keys to select sex or N/A for not available, then press Enter.",
     "Press down arrow to select sex or N for not available. Press Enter to continue."},
    {"Ethnicity (Race):",
     "Use up or down arrow keys to select ethnicity/race or N/A for not available, then press "
     "Enter.",
     "Press down arrow to select ethnicity. Press Enter to continue."},
    {"Education:",
     "Enter highest grade completed (number of years of education) or N for not available, "
     "then press Enter.",
     "Enter number of years of education or N for not available. Press Enter to continue."},
    {"Date of Birth:",
     "Type date of birth in the form mm/dd/yyyy or N for not available, then press Enter.",
     "Enter date of birth month, day, year as mm/dd/yyyy or N for Not Available. Press Enter to "
     "continue."},
}};

constexpr const char* NameDeletedPrompt =
    "Client name has been deleted. Editing is not permitted. Press Enter to continue.";
constexpr const char* EditsExceededPrompt = "Exceeded limits of editing. Press Enter to continue.";
constexpr const char* NoFurtherEditingPrompt =
    "No further editing permitted. Press Enter to save and continue.";
constexpr const char* OkPrompt =
    "If information is correct press Enter or press Tab to change an entry.";
constexpr const char* CancelPrompt = "Cancel information input and return to Main Menu.";

constexpr const char* RetryAdvice =
    "Choose Information OK to try again, or Cancel Input to leave the client as it was.";

Message refusedMessage(const char* text) {
    return {text, "", MsgIcon::Critical, MsgButtons::OK};
}

Message editLimitMessage() {
    return {
        "This client's information has been edited\r\n3 times already. Further editing of "
        "this\r\ninformation is no longer permitted.",
        "Edit Limit Reached", MsgIcon::Information, MsgButtons::OK};
}

// Told, not refused: the staff may know better than the numbers.
Message ageAndBirthWarning(const ClientInfoContents& contents) {
    return {"The date of birth " + contents[DateOfBirthField] + " and the age " +
                Trim(contents[AgeField]) +
                " are more than a year apart. The information is kept as typed; please check "
                "it. Press Enter to continue.",
            "Please Check", MsgIcon::Exclamation, MsgButtons::OK};
}

Message nameNotStorableMessage() {
    return refusedMessage(
        "The name holds a character that cannot be stored. Type the name with the letters of "
        "Western European languages only. Press Enter to continue.");
}

QComboBox* makeList(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : items) {
        list->addItem(QString::fromLatin1(item));
    }
    list->setCurrentIndex(-1);
    list->clearEditText();
    return list;
}

QLineEdit* makeText(QWidget* parent, const char* name, int maxLength) {
    auto* text = new QLineEdit(parent);
    text->setObjectName(QString::fromLatin1(name));
    text->setMaxLength(maxLength);
    return text;
}

}  // namespace

FrmClientInfo::FrmClientInfo(Session& session, Services& services, EntryMode mode, QWidget* parent)
    : Screen("frmClientInfo", QStringLiteral("Client Information"), parent),
      m_session(session),
      m_services(services),
      m_mode(mode) {
    keepOnEscape();
    buildScreen();
    // The tracker starts empty and at zero for a new client.
    if (editing()) {
        RecordToScreen();
    }
    updateOkPrompt();
    m_openedWith = shownTexts();
    new CloseGuard(this, m_services.messages, [this] { return shownTexts() != m_openedWith; });
}

void FrmClientInfo::buildScreen() {
    m_frClient = new QFrame(this);
    m_frClient->setObjectName(QStringLiteral("frClient"));
    m_frClient->setFrameStyle(QFrame::Box | QFrame::Raised);

    m_txtName = makeText(m_frClient, "txtName", 25);
    m_txtAge = makeText(m_frClient, "txtAge", 2);
    m_cmbGender = makeList(m_frClient, "cmbGender", {"N/A", "Male", "Female"});
    m_cmbRace =
        makeList(m_frClient, "cmbRace",
                 {"N/A", "Caucasian", "Black", "Hispanic", "Asian", "Native American", "Other"});
    m_txtEducation = makeText(m_frClient, "txtEducation", 2);
    m_mebDateOfBirth = makeText(m_frClient, "mebDateOfBirth", 10);
    m_mebDateOfBirth->setInputMask(QStringLiteral(">N9/99/9999;_"));

    auto* grid = new QGridLayout(m_frClient);
    for (int k = 0; k < ClientInfoFieldCount; ++k) {
        auto* label = new QLabel(QString::fromLatin1(Fields[static_cast<std::size_t>(k)].caption),
                                 m_frClient);
        label->setObjectName(QStringLiteral("lblInfo_%1").arg(k));
        m_lblInfo[static_cast<std::size_t>(k)] = label;
        QWidget* widget = field(static_cast<ClientInfoField>(k));
        label->setBuddy(widget);
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            // A screen reader names the list's edit field and drop-down by the caption too.
            list->lineEdit()->setAccessibleName(label->text());
            list->view()->setAccessibleName(label->text());
        }
        grid->addWidget(label, k, 0, Qt::AlignRight);
        grid->addWidget(widget, k, 1);
        widget->installEventFilter(this);
    }
    grid->setColumnMinimumWidth(1, 260);

    m_msgPanel = MakeMsgPanel(this);

    auto* choices = new QHBoxLayout;
    const std::array<const char*, 2> captions{"Information OK", "Cancel Input"};
    for (int i = 0; i < 2; ++i) {
        auto* choice =
            new MenuChoice(i, QString::fromLatin1(captions[static_cast<std::size_t>(i)]), this);
        m_choices[static_cast<std::size_t>(i)] = choice;
        choices->addWidget(choice);
    }
    m_choices[CancelChoice]->setPrompt(m_msgPanel, QString::fromLatin1(CancelPrompt));
    connect(m_choices[OkChoice]->button(), &QPushButton::clicked, this,
            &FrmClientInfo::informationOk);
    connect(m_choices[CancelChoice]->button(), &QPushButton::clicked, this, &FrmClientInfo::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_frClient, 0, Qt::AlignHCenter);
    layout->addSpacing(12);
    layout->addLayout(choices);
    layout->addStretch(1);
    layout->addWidget(m_msgPanel);

    for (int k = 0; k + 1 < ClientInfoFieldCount; ++k) {
        setTabOrder(field(static_cast<ClientInfoField>(k)),
                    field(static_cast<ClientInfoField>(k + 1)));
    }
    setTabOrder(m_mebDateOfBirth, m_choices[OkChoice]->button());
    setTabOrder(m_choices[OkChoice]->button(), m_choices[CancelChoice]->button());
    resize(640, 420);
}

QStringList FrmClientInfo::shownTexts() const {
    QStringList texts;
    for (int k = 0; k < ClientInfoFieldCount; ++k) {
        QWidget* widget = field(static_cast<ClientInfoField>(k));
        const auto* list = qobject_cast<const QComboBox*>(widget);
        texts << (list != nullptr ? list->currentText()
                                  : static_cast<const QLineEdit*>(widget)->displayText());
    }
    return texts;
}

QWidget* FrmClientInfo::field(ClientInfoField k) const {
    switch (k) {
        case NameField:
            return m_txtName;
        case AgeField:
            return m_txtAge;
        case SexField:
            return m_cmbGender;
        case RaceField:
            return m_cmbRace;
        case EducationField:
            return m_txtEducation;
        case DateOfBirthField:
            break;
    }
    return m_mebDateOfBirth;
}

std::optional<ClientInfoField> FrmClientInfo::fieldOf(QObject* widget) const {
    for (int k = 0; k < ClientInfoFieldCount; ++k) {
        if (field(static_cast<ClientInfoField>(k)) == widget) {
            return static_cast<ClientInfoField>(k);
        }
    }
    return std::nullopt;
}

std::optional<std::string> FrmClientInfo::nameText() const {
    return ToLatin1(m_txtName->text());
}

std::string FrmClientInfo::content(ClientInfoField k) const {
    const auto listPosition = [](const QComboBox* list, auto position) {
        const auto chosen = position(list->currentText().toLatin1().toStdString());
        return chosen ? std::to_string(*chosen) : std::string();
    };
    switch (k) {
        case NameField:
            return nameText().value_or(std::string());
        case AgeField:
            return m_txtAge->text().toLatin1().toStdString();
        case SexField:
            return listPosition(m_cmbGender, [](std::string_view t) { return SexPosition(t); });
        case RaceField:
            return listPosition(m_cmbRace, [](std::string_view t) { return RacePosition(t); });
        case EducationField:
            return m_txtEducation->text().toLatin1().toStdString();
        case DateOfBirthField:
            break;
    }
    return NormalizeDate(m_mebDateOfBirth->displayText().toLatin1().toStdString());
}

ClientInfoContents FrmClientInfo::Contents() const {
    ClientInfoContents contents;
    for (int k = 0; k < ClientInfoFieldCount; ++k) {
        contents[static_cast<std::size_t>(k)] = content(static_cast<ClientInfoField>(k));
    }
    return contents;
}

void FrmClientInfo::setContent(ClientInfoField k, const std::string& text) {
    const QString shown = FromLatin1(text);
    switch (k) {
        case SexField:
        case RaceField: {
            auto* list = static_cast<QComboBox*>(field(k));
            const int position = text.empty() ? -1 : DigitValue(text);
            list->setCurrentIndex(position);
            list->setEditText(position >= 0 ? list->itemText(position) : QString());
            return;
        }
        case DateOfBirthField:
            m_mebDateOfBirth->setText(shown.startsWith(QLatin1Char('N')) ? QStringLiteral("N")
                                                                         : shown);
            return;
        default:
            static_cast<QLineEdit*>(field(k))->setText(shown);
    }
}

void FrmClientInfo::RecordToScreen() {
    ClientRecord& record = m_session.current();
    const ClientInfoContents contents = ContentsOfRecord(record);
    for (int k = 0; k < ClientInfoFieldCount; ++k) {
        setContent(static_cast<ClientInfoField>(k), contents[static_cast<std::size_t>(k)]);
    }
    m_nameDeletedFlag = DigitValue(record.NameDeleted);
    const int editCount = DigitValue(record.EditCount);
    if (m_nameDeletedFlag == 1 || editCount >= EditTracker::Limit) {
        setFieldsEnabled(false);
        if (m_nameDeletedFlag == 1) {
            m_msgPanel->setText(QString::fromLatin1(NameDeletedPrompt));
        } else if (editCount == EditTracker::Limit) {
            m_msgPanel->setText(QString::fromLatin1(EditsExceededPrompt));
        }
    }
    // What the fields show now, so that a change is noticed against it (the date as shown).
    ClientInfoContents remembered = contents;
    remembered[DateOfBirthField] = content(DateOfBirthField);
    m_tracker = EditTracker(remembered, editCount);
}

void FrmClientInfo::RecordToDB() {
    qlm::RecordToDB(m_session.current(), Contents(), m_tracker.count(), m_nameDeletedFlag);
}

void FrmClientInfo::setFieldsEnabled(bool on) {
    for (int k = 0; k < ClientInfoFieldCount; ++k) {
        field(static_cast<ClientInfoField>(k))->setEnabled(on);
    }
}

void FrmClientInfo::updateOkPrompt() {
    const char* prompt = OkPrompt;
    if (m_nameDeletedFlag == 1) {
        prompt = NameDeletedPrompt;
    } else if (m_tracker.limitReached()) {
        prompt = NoFurtherEditingPrompt;
    }
    m_choices[OkChoice]->setPrompt(m_msgPanel, QString::fromLatin1(prompt));
}

void FrmClientInfo::firstShown() {
    ClearShpButtonColor(this, CancelChoice);
    if (m_mode != EntryMode::NewClient) {
        ClearInfoLabelBold(this, ClientInfoFieldCount - 1);
        m_choices[OkChoice]->button()->setFocus(Qt::OtherFocusReason);
    } else {
        m_txtName->setFocus(Qt::OtherFocusReason);
    }
}

bool FrmClientInfo::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<ClientInfoField> k = fieldOf(watched);
    if (!k) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress:
            return fieldKey(*k, static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn: {
            // A box or the list's own pop-up taking the focus for a moment is no entry.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
                break;
            }
            // The field settles its own cursor first, so that the whole text ends up chosen.
            watched->event(event);
            fieldEntered(*k);
            return true;
        }
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                fieldLeft(*k);
            }
            break;
        }
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

bool FrmClientInfo::fieldKey(ClientInfoField k, QKeyEvent* key) {
    const bool tab = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || tab) {
        if (acceptField(k)) {
            focusAfter(k);
        }
        return true;
    }
    if (k != SexField && k != RaceField && k != DateOfBirthField) {
        return false;
    }
    const QString text = key->text();
    const bool backspace = key->key() == Qt::Key_Backspace;
    if (!backspace && (text.size() != 1 || !text.front().isPrint())) {
        return false;
    }
    const char typed = backspace ? '\b' : text.front().toLatin1();
    if (k == DateOfBirthField) {
        if (backspace || KeyTaken(k, typed)) {
            return false;
        }
        m_services.messages.beep();
        return true;
    }
    auto* list = static_cast<QComboBox*>(field(k));
    if (backspace || !KeyTaken(k, typed)) {
        list->clearEditText();
        m_services.messages.beep();
        return true;
    }
    // A code typed into the list replaces its text and chooses the entry it names.
    list->setEditText(QString(QLatin1Char(typed)));
    mapList(k, true);
    return true;
}

bool FrmClientInfo::acceptField(ClientInfoField k) {
    if (k == NameField && !nameText()) {
        refuseName();
        return false;
    }
    if (k == SexField || k == RaceField) {
        mapList(k, false);
    }
    const std::string text = content(k);
    bool accepted = true;
    switch (k) {
        case NameField:
            accepted = !Trim(text).empty();
            break;
        case AgeField:
        case EducationField: {
            const auto stored = k == AgeField ? AcceptAge(text) : AcceptEducation(text);
            accepted = stored.has_value();
            if (accepted) {
                static_cast<QLineEdit*>(field(k))->setText(FromLatin1(*stored));
            }
            break;
        }
        case SexField:
        case RaceField:
            // The text must name one of the entries, so that a position is always stored.
            accepted = !text.empty();
            break;
        case DateOfBirthField:
            accepted = AcceptDateOfBirth(text);
            break;
    }
    if (!accepted) {
        refuse(k);
    }
    return accepted;
}

void FrmClientInfo::refuse(ClientInfoField k) {
    if (k == AgeField || k == EducationField) {
        static_cast<QLineEdit*>(field(k))->clear();
    }
    m_services.messages.beep();
    m_services.messages.show(refusedMessage(Fields[static_cast<std::size_t>(k)].refused));
    field(k)->setFocus(Qt::OtherFocusReason);
    SelectAllText();
}

void FrmClientInfo::refuseName() {
    m_services.messages.beep();
    m_services.messages.show(nameNotStorableMessage());
    m_txtName->setFocus(Qt::OtherFocusReason);
}

void FrmClientInfo::focusAfter(ClientInfoField k) {
    if (k == DateOfBirthField) {
        m_choices[OkChoice]->button()->setFocus(Qt::TabFocusReason);
    } else {
        field(static_cast<ClientInfoField>(k + 1))->setFocus(Qt::TabFocusReason);
    }
}

void FrmClientInfo::fieldEntered(ClientInfoField k) {
    SelectAllText();
    SetInfoLabelBold(this, ClientInfoFieldCount - 1, k);
    m_msgPanel->setText(QString::fromLatin1(Fields[static_cast<std::size_t>(k)].prompt));
}

void FrmClientInfo::fieldLeft(ClientInfoField k) {
    SetBold(m_lblInfo[static_cast<std::size_t>(k)], false);
    if (k == AgeField || k == EducationField) {
        auto* text = static_cast<QLineEdit*>(field(k));
        text->setText(FromLatin1(CapitalNotAvailable(text->text().toLatin1().toStdString())));
    } else if (k == SexField || k == RaceField) {
        mapList(k, false);
    } else if (k == DateOfBirthField) {
        // 1/5/2005 shows as 01/05/2005.
        const QString normalized = FromLatin1(content(k));
        if (normalized != m_mebDateOfBirth->displayText()) {
            m_mebDateOfBirth->setText(normalized);
        }
    }
    if (!editing()) {
        return;
    }
    const bool wasLimited = m_tracker.limitReached();
    if (m_tracker.check(k, content(k)) == EditTracker::Change::LimitReached &&
        field(k)->isEnabled()) {
        setContent(k, m_tracker.remembered(k));
        m_services.messages.show(editLimitMessage());
        setFieldsEnabled(false);
        m_choices[OkChoice]->button()->setFocus(Qt::OtherFocusReason);
    }
    if (m_tracker.limitReached() != wasLimited) {
        updateOkPrompt();
    }
}

void FrmClientInfo::mapList(ClientInfoField k, bool openWhenUnknown) {
    auto* list = static_cast<QComboBox*>(field(k));
    const std::string text = list->currentText().toLatin1().toStdString();
    const std::optional<int> position = k == SexField ? SexPosition(text) : RacePosition(text);
    if (position) {
        list->setCurrentIndex(*position);
        list->setEditText(list->itemText(*position));
    } else if (openWhenUnknown) {
        list->showPopup();
    }
}

void FrmClientInfo::informationOk() {
    // A locked client's fields cannot be mended, so they are not checked either.
    const bool checked = m_txtName->isEnabled();
    if (checked) {
        if (!nameText()) {
            refuseName();
            return;
        }
        if (const auto refused = FirstRefusedField(Contents())) {
            refuse(*refused);
            return;
        }
    }
    const ClientInfoOutcome outcome = DecideClientInfoOk(
        {m_mode, m_session.Clients.NumberOfClients(), m_nameDeletedFlag == 1,
         !editing() || ContentsDiffer(m_session.current(), Contents()), m_tracker.countAtStart()});
    if (outcome == ClientInfoOutcome::Leave) {
        reject();
        return;
    }
    if (outcome == ClientInfoOutcome::TableFull) {
        m_services.messages.show(ClientTableFullMessage());
        reject();
        return;
    }
    if (checked && AgeDisagreesWithBirthDate(Contents(), m_services.clock.Today())) {
        m_services.messages.show(ageAndBirthWarning(Contents()));
    }
    if (outcome == ClientInfoOutcome::AddClient) {
        m_session.CurrentClient =
            m_session.Clients.NewClient(NewClientRecord(m_services.clock.Today()));
        RecordToDB();
    } else if (outcome == ClientInfoOutcome::SaveChanges) {
        const ClientRecord before = m_session.current();
        RecordToDB();
        if (!saveEditedClient(before)) {
            // Memory keeps what the disk keeps; the typed fields stay for another try.
            return;
        }
    }
    accept();
}

bool FrmClientInfo::saveEditedClient(const ClientRecord& before) {
    const BusyPointer busy;
    return SaveClientChecked(m_session, m_services.messages, m_session.CurrentClient, before,
                             {"The client's information", RetryAdvice});
}

}  // namespace qlm

#include "answersheet/FrmNewEntry.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "session/CheckedSave.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "ui/CloseGuard.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

constexpr std::array<MenuChoiceText, 2> Choices{{
    {"Save", "SAVE data, close this window and return to Main Menu"},
    {"Cancel", "DISCARD data, close this window and return to Main Menu"},
}};

constexpr unsigned Green = 0x00FF00;
constexpr unsigned Navy = 0x800000;
constexpr unsigned LightBlue = 0xFFFF00;

constexpr int NumberColumnTwips = 400;
constexpr int AnswerColumnTwips = 200;
constexpr int GridGapTwips = 200;

constexpr const char* RetryAdvice =
    "Choose Save to try again once the data disk is back, or Cancel to discard the answers.";

// The grids' sizes are kept in their proportions but drawn larger than the twips say, so that
// the item numbers stay readable on today's screens.
int px(const QWidget* widget, int twips) {
    constexpr double Enlargement = 1.6;
    return qRound(twips * Enlargement * widget->logicalDpiX() / 1440.0);
}

Message scannedAnswersWarning() {
    return {
        "Scanned answers being populated for editing but\rsome answers did not scan "
        "correctly.\rCheck responses carefully.",
        "Scanned Answers Warning", MsgIcon::None, MsgButtons::OK};
}

Message unansweredQuestion(std::size_t count) {
    const std::string items = count == 1 ? "1 item has" : std::to_string(count) + " items have";
    return {items + " no answer. Save anyway?", "Unanswered Items", MsgIcon::Question,
            MsgButtons::YesNoDefaultNo};
}

Message bankUnreadableMessage(const DataFileError& error) {
    return {std::string("The answer grids cannot be shown: the question bank could not be read.") +
                "\r\r" + error.what() + "\r\rNo answers were saved.",
            "Question Bank Error", MsgIcon::Critical, MsgButtons::OK};
}

}  // namespace

FrmNewEntry::FrmNewEntry(Session& session, Services& services, std::vector<AnswerGrid> grids,
                         EntryMode mode, QWidget* parent)
    : Screen("frmNewEntry", QStringLiteral("Edit Client Responses"), parent),
      m_session(session),
      m_services(services),
      m_layout(std::move(grids)),
      m_mode(mode) {
    keepOnEscape();
    buildScreen();
    m_lblClientName->setText(FromLatin1(m_session.current().Name));
    resize(std::max(sizeHint().width(), 640), 640);
}

void FrmNewEntry::buildScreen() {
    m_lblClientName = MakeClientNameLabel(this);

    m_frEntry = new QFrame(this);
    m_frEntry->setObjectName(QStringLiteral("frEntry"));
    auto* gridsLayout = new QHBoxLayout(m_frEntry);
    gridsLayout->setSpacing(px(this, GridGapTwips));
    for (std::size_t g = 0; g < m_layout.size(); ++g) {
        const AnswerGrid& layout = m_layout[g];
        const AnswerKind& kind = AnswerKindInfo(layout.kind);
        const QString section = QStringLiteral("Section %1").arg(g + 1);

        auto* label = new QLabel(section, m_frEntry);
        label->setObjectName(QStringLiteral("lblSection_%1").arg(g));
        label->setFixedWidth(px(this, kind.widthTwips));

        auto* grid =
            new QTableWidget(static_cast<int>(layout.items.size()), kind.columns + 1, m_frEntry);
        grid->setObjectName(QStringLiteral("grdResponses_%1").arg(g));
        grid->setAccessibleName(section);
        grid->setProperty("kind", layout.kind);
        QStringList headings{QStringLiteral("Num")};
        for (int c = 1; c <= kind.columns; ++c) {
            headings << QString::number(c);
        }
        grid->setHorizontalHeaderLabels(headings);
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->horizontalHeader()->setMinimumSectionSize(1);
        grid->setColumnWidth(0, px(this, NumberColumnTwips));
        for (int c = 1; c <= kind.columns; ++c) {
            grid->setColumnWidth(c, px(this, AnswerColumnTwips));
        }
        grid->setFixedWidth(px(this, kind.widthTwips));
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionMode(QAbstractItemView::NoSelection);
        grid->setTabKeyNavigation(false);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        for (int r = 0; r < grid->rowCount(); ++r) {
            auto* number = new QTableWidgetItem(
                QStringLiteral("%1.").arg(layout.items[static_cast<std::size_t>(r)]));
            number->setFlags(Qt::ItemIsEnabled);
            grid->setItem(r, 0, number);
            for (int c = 1; c <= kind.columns; ++c) {
                auto* cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setTextAlignment(Qt::AlignCenter);
                grid->setItem(r, c, cell);
            }
        }
        grid->installEventFilter(this);
        const int index = static_cast<int>(g);
        // A click only moves the cursor; no answer is recorded by it.
        connect(grid, &QTableWidget::currentCellChanged, this,
                [this, index](int row, int, int, int) {
                    if (!m_marking && row >= 0) {
                        markCursorRow(index, row + 1);
                    }
                });

        auto* column = new QVBoxLayout;
        column->setSpacing(0);
        column->addWidget(label);
        column->addWidget(grid, 1);
        gridsLayout->addLayout(column);
        m_grids.push_back(grid);
        m_sections.push_back(label);
    }
    m_cursorRow.assign(m_grids.size(), 1);

    m_msgPanel = MakeMsgPanel(this);

    auto* choices = new QHBoxLayout;
    choices->addStretch();
    for (int i = 0; i < 2; ++i) {
        auto* choice = new MenuChoice(i, Choices[static_cast<std::size_t>(i)], m_msgPanel, this);
        choice->setFixedWidth(160);
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }
    choices->addStretch();
    for (MenuChoice* choice : m_choices) {
        choice->button()->installEventFilter(this);
    }
    connect(m_choices[SaveChoice]->button(), &QPushButton::clicked, this, &FrmNewEntry::save);
    connect(m_choices[CancelChoice]->button(), &QPushButton::clicked, this, &FrmNewEntry::cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblClientName, 0, Qt::AlignHCenter);
    layout->addWidget(m_frEntry, 1, Qt::AlignHCenter);
    layout->addLayout(choices);
    layout->addWidget(m_msgPanel);

    QWidget* previous = nullptr;
    for (QWidget* next : m_grids) {
        if (previous != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next;
    }
    if (previous != nullptr) {
        setTabOrder(previous, m_choices[SaveChoice]->button());
    }
    setTabOrder(m_choices[SaveChoice]->button(), m_choices[CancelChoice]->button());
    new CloseGuard(this, m_services.messages, [this] { return m_gridAnswer != m_openedWith; });
}

void FrmNewEntry::firstShown() {
    m_choices[SaveChoice]->button()->setEnabled(false);
    ClearShpButtonColor(this, CancelChoice);
    ClientRecord& client = m_session.current();
    if (m_mode == EntryMode::Scanned && FillScannedAnswers(client.Answers)) {
        m_services.messages.show(scannedAnswersWarning());
    }
    m_gridAnswer = GridAnswersOf(client.Answers);
    m_openedWith = m_gridAnswer;
    for (int g = 0; g < static_cast<int>(m_grids.size()); ++g) {
        for (int row = 1; row <= lastRow(g); ++row) {
            paintRow(g, row, false);
        }
    }
    m_cursorRow.assign(m_grids.size(), 1);
    m_choices[SaveChoice]->button()->setEnabled(true);
    m_choices[CancelChoice]->button()->setEnabled(true);
    if (!m_grids.empty()) {
        focusGrid(0, 1);
    }
}

int FrmNewEntry::gridIndexOf(const QObject* watched) const {
    for (std::size_t g = 0; g < m_grids.size(); ++g) {
        if (m_grids[g] == watched) {
            return static_cast<int>(g);
        }
    }
    return -1;
}

int FrmNewEntry::lastRow(int g) const {
    return m_grids[static_cast<std::size_t>(g)]->rowCount();
}

int FrmNewEntry::itemAt(int g, int row) const {
    return m_layout[static_cast<std::size_t>(g)].items[static_cast<std::size_t>(row - 1)];
}

void FrmNewEntry::paintRow(int g, int row, bool cursor) {
    QTableWidget* grid = m_grids[static_cast<std::size_t>(g)];
    const int marked = MarkedColumn(m_gridAnswer[static_cast<std::size_t>(itemAt(g, row))]);
    for (int c = 1; c < grid->columnCount(); ++c) {
        QTableWidgetItem* cell = grid->item(row - 1, c);
        const bool chosen = c == marked;
        cell->setText(chosen ? QStringLiteral("X") : QString());
        cell->setBackground(FromBGR(cursor ? LightBlue : chosen ? Green : White));
        cell->setForeground(FromBGR(cursor || chosen ? Black : Navy));
    }
}

void FrmNewEntry::markCursorRow(int g, int row) {
    if (m_marking) {
        return;
    }
    m_marking = true;
    QTableWidget* grid = m_grids[static_cast<std::size_t>(g)];
    int& cursor = m_cursorRow[static_cast<std::size_t>(g)];
    paintRow(g, cursor, false);
    cursor = row;
    paintRow(g, row, true);
    grid->setCurrentCell(row - 1, 0);
    grid->scrollToItem(grid->item(row - 1, 0));
    m_marking = false;
}

void FrmNewEntry::focusGrid(int g, int row) {
    m_cursorRow[static_cast<std::size_t>(g)] = row;
    m_grids[static_cast<std::size_t>(g)]->setFocus(Qt::OtherFocusReason);
    markCursorRow(g, row);
}

bool FrmNewEntry::eventFilter(QObject* watched, QEvent* event) {
    const int g = gridIndexOf(watched);
    if (g < 0 && event->type() == QEvent::KeyPress) {
        // A digit on Save or Cancel is an answer typed past the grids: it is not taken.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text.front().isDigit()) {
            m_services.messages.beep();
            return true;
        }
    }
    if (g < 0) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::FocusIn:
            m_msgPanel->setText(
                FromLatin1(AnswerKindInfo(m_layout[static_cast<std::size_t>(g)].kind).legend));
            markCursorRow(g, m_cursorRow[static_cast<std::size_t>(g)]);
            break;
        case QEvent::KeyPress:
            return gridKey(g, static_cast<QKeyEvent*>(event));
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

bool FrmNewEntry::gridKey(int g, const QKeyEvent* key) {
    const int row = m_cursorRow[static_cast<std::size_t>(g)];
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            return true;
        case Qt::Key_Up:
            if (row > 1) {
                markCursorRow(g, row - 1);
            } else if (g > 0) {
                // The row keeps its mark, as after Tab: each grid shows where it was left.
                focusGrid(g - 1, lastRow(g - 1));
            } else {
                m_services.messages.beep();
            }
            return true;
        case Qt::Key_Down:
            advance(g);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            // The cursor moves by one item only, so that no item is passed over unseen.
            m_services.messages.beep();
            return true;
        default:
            break;
    }
    const QString text = key->text();
    if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Shortcuts go to the window.
        return false;
    }
    const char typed = text.size() == 1 ? text.front().toLatin1() : '\0';
    if (!KindAcceptsDigit(m_layout[static_cast<std::size_t>(g)].kind, typed)) {
        m_services.messages.beep();
        return true;
    }
    m_gridAnswer[static_cast<std::size_t>(itemAt(g, row))] = typed;
    paintRow(g, row, true);
    advance(g);
    return true;
}

void FrmNewEntry::advance(int g) {
    const int row = m_cursorRow[static_cast<std::size_t>(g)];
    if (row < lastRow(g)) {
        markCursorRow(g, row + 1);
    } else if (g + 1 < static_cast<int>(m_grids.size())) {
        paintRow(g, row, false);
        focusGrid(g + 1, 1);
    } else {
        m_services.messages.beep();
    }
}

void FrmNewEntry::focusItem(int item) {
    for (std::size_t g = 0; g < m_layout.size(); ++g) {
        const std::vector<int>& items = m_layout[g].items;
        const auto at = std::find(items.begin(), items.end(), item);
        if (at != items.end()) {
            focusGrid(static_cast<int>(g), static_cast<int>(at - items.begin()) + 1);
            return;
        }
    }
}

bool FrmNewEntry::saveUnanswered() {
    const std::vector<int> unanswered = UnansweredItems(m_gridAnswer);
    if (unanswered.empty() ||
        m_services.messages.show(unansweredQuestion(unanswered.size())) == MsgAnswer::Yes) {
        return true;
    }
    focusItem(unanswered.front());
    return false;
}

void FrmNewEntry::save() {
    if (!saveUnanswered()) {
        return;
    }
    QPushButton* saveButton = m_choices[SaveChoice]->button();
    saveButton->setEnabled(false);
    BusyPointer busy;
    const bool saved =
        SaveAnswers(m_session, m_services.messages, JoinGridAnswers(m_gridAnswer), RetryAdvice);
    busy.done();
    if (!saved) {
        // The answers stay in the grids for another try.
        saveButton->setEnabled(true);
        saveButton->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

void FrmNewEntry::cancel() {
    m_choices[CancelChoice]->button()->setEnabled(false);
    DropUnsavedClient(m_session);
    QDialog::reject();
}

void FrmNewEntry::reject() {
    cancel();
}

bool ShowNewEntry(Session& session, Services& services, EntryMode mode, QWidget* parent) {
    // Reading the bank and building the grids is the slow part.
    BusyPointer busy;
    std::vector<AnswerGrid> grids;
    try {
        grids = ReadAnswerGrids(session.QuestionBankPath);
    } catch (const DataFileError& error) {
        busy.done();
        services.messages.show(bankUnreadableMessage(error));
        DropUnsavedClient(session);
        return false;
    }
    FrmNewEntry screen(session, services, std::move(grids), mode, parent);
    busy.done();
    return screen.exec() == QDialog::Accepted;
}

}  // namespace qlm

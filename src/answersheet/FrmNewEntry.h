#pragma once

#include <array>
#include <vector>

#include "answersheet/AnswerGrids.h"
#include "session/EntryMode.h"
#include "ui/Screen.h"

class QFrame;
class QKeyEvent;
class QLabel;
class QTableWidget;

namespace qlm {

class MenuChoice;
struct Services;
struct Session;

// The answers of a paper answer sheet typed into grids, one grid per kind of answer scale,
// one digit per item. Save writes the 109 answers into the current client's record and the
// client file; nothing is written before.
class FrmNewEntry : public Screen {
    Q_OBJECT

public:
    static constexpr int SaveChoice = OkChoice;

    // exec() returns Accepted when the answers were saved.
    FrmNewEntry(Session& session, Services& services, std::vector<AnswerGrid> grids,
                EntryMode mode = EntryMode::NewClient, QWidget* parent = nullptr);

    const GridAnswers& gridAnswers() const { return m_gridAnswer; }

public slots:
    // Closing the window is Cancel.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void firstShown() override;

private:
    void buildScreen();
    int gridIndexOf(const QObject* watched) const;
    int lastRow(int g) const;
    int itemAt(int g, int row) const;
    // Row `row` (1 = the first item) of grid g in its normal colours, or as the cursor row.
    void paintRow(int g, int row, bool cursor);
    // Moves grid g's cursor to `row`, repainting the row it leaves.
    void markCursorRow(int g, int row);
    void focusGrid(int g, int row);
    bool gridKey(int g, const QKeyEvent* key);
    void advance(int g);
    // Puts the cursor on `item`, in its grid.
    void focusItem(int item);
    // Unanswered items are saved blank only when the user says so.
    bool saveUnanswered();
    void save();
    void cancel();

    Session& m_session;
    Services& m_services;
    std::vector<AnswerGrid> m_layout;
    EntryMode m_mode;
    GridAnswers m_gridAnswer{};
    // The answers as the screen opened with them, to tell whether anything was typed.
    GridAnswers m_openedWith{};
    std::vector<int> m_cursorRow;
    bool m_marking = false;
    bool m_closing = false;

    QLabel* m_lblClientName = nullptr;
    QFrame* m_frEntry = nullptr;
    std::vector<QTableWidget*> m_grids;
    std::vector<QLabel*> m_sections;
    std::array<MenuChoice*, 2> m_choices{};
    QLabel* m_msgPanel = nullptr;
};

// Opens the answer grids of the current client, their layout read from the question bank. A
// bank that cannot be read is said and the screen does not open; a new client is then dropped
// as by Cancel. True when the answers were saved.
bool ShowNewEntry(Session& session, Services& services, EntryMode mode, QWidget* parent);

}  // namespace qlm

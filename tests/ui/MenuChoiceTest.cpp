#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"

using namespace qlm;

namespace {

const QColor CyanRgb(0, 255, 255);

// A screen with an entry field, three choices and a message panel, in that tab order.
struct Screen {
    QWidget window;
    QLineEdit* field = new QLineEdit(&window);
    QLabel* caption = new QLabel(QStringLiteral("Age"), &window);
    QLabel* msgPanel = new QLabel(&window);
    std::array<MenuChoice*, 3> choices{};
    std::array<int, 3> runs{};

    Screen() {
        caption->setObjectName(QStringLiteral("lblInfo_0"));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(caption);
        layout->addWidget(field);
        for (int i = 0; i < 3; ++i) {
            auto* choice = new MenuChoice(i, QStringLiteral("Choice %1").arg(i), &window);
            choice->setPrompt(msgPanel, i == 2 ? QString() : QStringLiteral("Prompt %1").arg(i));
            QObject::connect(choice->button(), &QPushButton::clicked,
                             [this, i] { ++runs[static_cast<std::size_t>(i)]; });
            layout->addWidget(choice);
            choices[static_cast<std::size_t>(i)] = choice;
        }
        layout->addWidget(msgPanel);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            qFatal("the test window did not become active");
        }
    }

    QPushButton* button(int i) const { return choices[static_cast<std::size_t>(i)]->button(); }
    // The choice whose panel is cyan; -1 when none is, -2 when more than one is.
    int lit() const {
        int found = -1;
        for (int i = 0; i < 3; ++i) {
            const MenuChoice* choice = choices[static_cast<std::size_t>(i)];
            const bool cyan = choice->palette().color(QPalette::Window) == CyanRgb;
            if (cyan != choice->button()->font().bold()) {
                return -3;  // colour and weight disagree
            }
            if (cyan) {
                found = found == -1 ? i : -2;
            }
        }
        return found;
    }
};

}  // namespace

class MenuChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void arrowsMoveExactlyOneHighlight();
    void onlyEnterAndSpaceRunAChoice_data();
    void onlyEnterAndSpaceRunAChoice();
    void clearAndSetHighlightCoverIndexZeroToN();
    void entryFieldHelpers();
};

// Arrows move the focus in tab order and exactly one highlight with it; a choice without a
// prompt leaves the last one shown; Up from the first choice leaves the choices.
void MenuChoiceTest::arrowsMoveExactlyOneHighlight() {
    Screen screen;
    QCOMPARE(screen.lit(), -1);
    screen.button(0)->setFocus(Qt::TabFocusReason);
    QCOMPARE(screen.lit(), 0);
    const struct {
        Qt::Key key;
        int to;
        int prompt;
    } steps[] = {{Qt::Key_Tab, 1, 1}, {Qt::Key_Down, 2, 1},  {Qt::Key_Left, 1, 1},
                 {Qt::Key_Up, 0, 0},  {Qt::Key_Right, 1, 1}, {Qt::Key_Up, 0, 0},
                 {Qt::Key_Up, -1, 0}};
    int at = 0;
    for (const auto& step : steps) {
        QTest::keyClick(screen.button(at), step.key);
        at = step.to;
        QVERIFY(at < 0 ? screen.field->hasFocus() : screen.button(at)->hasFocus());
        QCOMPARE(screen.lit(), at);
        QCOMPARE(screen.msgPanel->text(), QStringLiteral("Prompt %1").arg(step.prompt));
    }
}

void MenuChoiceTest::onlyEnterAndSpaceRunAChoice_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("runs");
    QTest::newRow("Return") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("Space") << int(Qt::Key_Space) << 1;
    QTest::newRow("letter") << int(Qt::Key_X) << 0;
    QTest::newRow("digit") << int(Qt::Key_1) << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
}

void MenuChoiceTest::onlyEnterAndSpaceRunAChoice() {
    QFETCH(int, key);
    QFETCH(int, runs);
    Screen screen;
    screen.button(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(screen.button(1), Qt::Key(key));
    QCOMPARE(screen.runs, (std::array<int, 3>{0, runs, 0}));
    QVERIFY(screen.button(1)->hasFocus());
}

void MenuChoiceTest::clearAndSetHighlightCoverIndexZeroToN() {
    Screen screen;
    SetShpButtonColor(&screen.window, 2, 2);
    QCOMPARE(screen.lit(), 2);
    SetShpButtonColor(&screen.window, 2, 0);
    QCOMPARE(screen.lit(), 0);
    for (MenuChoice* choice : screen.choices) {
        choice->setHighlighted(true);
    }
    ClearShpButtonColor(&screen.window, 2);
    QCOMPARE(screen.lit(), -1);
    QCOMPARE(screen.choices[2]->palette().color(QPalette::Window), QColor(0, 0, 255));
}

void MenuChoiceTest::entryFieldHelpers() {
    Screen screen;
    screen.field->setText(QStringLiteral("42"));
    screen.field->setFocus();
    screen.field->deselect();
    SelectAllText();
    QTest::keyClick(screen.field, Qt::Key_7);
    QCOMPARE(screen.field->text(), QStringLiteral("7"));
    screen.button(0)->setFocus();
    SelectAllText();  // a focused control without text is left alone
    SetInfoLabelBold(&screen.window, 0, 0);
    QVERIFY(screen.caption->font().bold());
    ClearInfoLabelBold(&screen.window, 0);
    QVERIFY(!screen.caption->font().bold());
}

QTEST_MAIN(MenuChoiceTest)
#include "MenuChoiceTest.moc"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/NumLock.h"
#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"

using namespace qlm;

namespace {

// An entry field, then three choices (the last without a prompt), in tab order.
struct Screen {
    QWidget window;
    QLineEdit* field = new QLineEdit(&window);
    QLabel* caption = new QLabel(QStringLiteral("Age"), &window);
    QLabel* msgPanel = new QLabel(&window);
    QList<MenuChoice*> choices;
    QList<int> runs{0, 0, 0};

    Screen() {
        caption->setObjectName(QStringLiteral("lblInfo_0"));
        for (int i = 0; i < 3; ++i) {
            choices << new MenuChoice(i, QStringLiteral("Choice %1").arg(i), &window);
            choices[i]->setPrompt(msgPanel, i == 2 ? "" : QStringLiteral("Prompt %1").arg(i));
            QObject::connect(button(i), &QPushButton::clicked, [this, i] { ++runs[i]; });
        }
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QPushButton* button(int i) const { return choices[i]->button(); }
    // The choice whose panel is cyan and caption bold; -1 none, -2 several or colour and weight
    // disagreeing.
    int lit() const {
        int found = -1;
        for (int i = 0; i < 3; ++i) {
            const bool cyan = choices[i]->palette().color(QPalette::Window) == QColor(0, 255, 255);
            if (cyan != button(i)->font().bold() || (cyan && found != -1)) {
                return -2;
            }
            found = cyan ? i : found;
        }
        return found;
    }
};

}  // namespace

class MenuChoiceTest : public QObject {
    Q_OBJECT

private slots:
    // Arrows move the focus in tab order and one highlight with it; a choice without a prompt
    // leaves the last one shown; Up from the first choice leaves the choices. Only Enter and
    // Space run a choice. Each step: key, the choice focused after it, its prompt, runs so far.
    void keysOnTheChoices() {
        Screen screen;
        QCOMPARE(screen.lit(), -1);
        screen.button(0)->setFocus(Qt::TabFocusReason);
        const int steps[][4] = {
            {Qt::Key_Tab, 1, 1, 0},   {Qt::Key_Down, 2, 1, 0},   {Qt::Key_Left, 1, 1, 0},
            {Qt::Key_Up, 0, 0, 0},    {Qt::Key_Return, 0, 0, 1}, {Qt::Key_Enter, 0, 0, 2},
            {Qt::Key_Space, 0, 0, 3}, {Qt::Key_X, 0, 0, 3},      {Qt::Key_Escape, 0, 0, 3},
            {Qt::Key_Right, 1, 1, 3}, {Qt::Key_Up, 0, 0, 3},     {Qt::Key_Up, -1, 0, 3}};
        int at = 0;
        for (const auto& [key, to, prompt, runs] : steps) {
            QTest::keyClick(screen.button(at), Qt::Key(key));
            at = to;
            QVERIFY(at < 0 ? screen.field->hasFocus() : screen.button(at)->hasFocus());
            QCOMPARE(screen.lit(), at);
            QCOMPARE(screen.msgPanel->text(), QStringLiteral("Prompt %1").arg(prompt));
            QCOMPARE(screen.runs, (QList<int>{runs, 0, 0}));
        }
        // A choice that goes with the focus on it: its button loses the focus after the panel's
        // own part is gone, and must not reach it then.
        screen.button(1)->setFocus();
        delete screen.choices.takeAt(1);
        QVERIFY(!screen.window.findChild<QPushButton*>(MenuChoice::buttonName(1)));
    }

    // Highlights and bold captions are set and cleared from index 0 to n, n included; the
    // focused field's text is selected, so that a key replaces it.
    void screenHelpers() {
        Screen screen;
        for (const int i : {2, 0}) {
            SetShpButtonColor(&screen.window, 2, i);
            QCOMPARE(screen.lit(), i);
            ClearShpButtonColor(&screen.window, 2);
            QCOMPARE(screen.lit(), -1);
        }
        SetInfoLabelBold(&screen.window, 0, 0);
        QVERIFY(screen.caption->font().bold());
        ClearInfoLabelBold(&screen.window, 0);
        QVERIFY(!screen.caption->font().bold());
        screen.field->setText(QStringLiteral("42"));
        screen.field->setFocus();
        screen.field->deselect();
        SelectAllText();
        QTest::keyClick(screen.field, Qt::Key_7);
        QCOMPARE(screen.field->text(), QStringLiteral("7"));
        HoldNumLockOn();  // offscreen there is no keyboard to hold: nothing is done
    }
};

QTEST_MAIN(MenuChoiceTest)
#include "MenuChoiceTest.moc"

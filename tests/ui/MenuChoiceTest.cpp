#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"

using namespace qlm;

class MenuChoiceTest : public QObject {
    Q_OBJECT

private slots:
    // Arrows move the focus in tab order and one highlight with it; a choice without a prompt
    // leaves the last one shown; Up from the first choice leaves the choices. Only Enter and
    // Space run a choice. Each step: key, the choice focused after it, its prompt, runs so far.
    void keysOnTheChoices() {
        QWidget window;
        auto* field = new QLineEdit(&window);
        auto* msgPanel = new QLabel(&window);
        QList<MenuChoice*> choices;
        int runs = 0;
        for (int i = 0; i < 3; ++i) {
            choices << new MenuChoice(i, QStringLiteral("Choice %1").arg(i), &window);
            choices[i]->setPrompt(msgPanel, i == 2 ? "" : QStringLiteral("Prompt %1").arg(i));
        }
        QObject::connect(choices[0]->button(), &QPushButton::clicked, [&runs] { ++runs; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // The choice whose caption is bold; -2 several.
        const auto lit = [&] {
            int found = -1;
            for (int i = 0; i < choices.size(); ++i) {
                found = !choices[i]->button()->font().bold() ? found : found == -1 ? i : -2;
            }
            return found;
        };
        choices[2]->setHighlighted(true);
        QCOMPARE(lit(), 2);
        ClearShpButtonColor(&window, 2);
        QCOMPARE(lit(), -1);
        choices[0]->button()->setFocus(Qt::TabFocusReason);
        const int steps[][4] = {
            {Qt::Key_Tab, 1, 1, 0},   {Qt::Key_Down, 2, 1, 0},   {Qt::Key_Left, 1, 1, 0},
            {Qt::Key_Up, 0, 0, 0},    {Qt::Key_Return, 0, 0, 1}, {Qt::Key_Enter, 0, 0, 2},
            {Qt::Key_Space, 0, 0, 3}, {Qt::Key_X, 0, 0, 3},      {Qt::Key_Escape, 0, 0, 3},
            {Qt::Key_Right, 1, 1, 3}, {Qt::Key_Up, 0, 0, 3},     {Qt::Key_Up, -1, 0, 3}};
        int at = 0;
        for (const auto& [key, to, prompt, ran] : steps) {
            QTest::keyClick(choices[at]->button(), Qt::Key(key));
            at = to;
            QVERIFY(at < 0 ? field->hasFocus() : choices[at]->button()->hasFocus());
            QCOMPARE(lit(), at);
            QCOMPARE(msgPanel->text(), QStringLiteral("Prompt %1").arg(prompt));
            QCOMPARE(runs, ran);
        }
        // A choice that goes with the focus on it: its button loses the focus after the panel's
        // own part is gone, and must not reach it then.
        choices[1]->button()->setFocus();
        delete choices.takeAt(1);
        QVERIFY(!window.findChild<QPushButton*>(MenuChoice::buttonName(1)));
        MOUSEWAIT();
        MOUSEWAIT();
        MOUSEDEFAULT();
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(MenuChoiceTest)
#include "MenuChoiceTest.moc"

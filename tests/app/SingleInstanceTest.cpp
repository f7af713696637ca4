#include <QSignalSpy>
#include <QUuid>
#include <QtTest>

#include "app/SingleInstance.h"

using namespace qlm;

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondCopyFindsTheFirstAndAsksItToFront();
    void aloneThereIsNobodyToAsk();
};

void SingleInstanceTest::secondCopyFindsTheFirstAndAsksItToFront() {
    const QString name = QStringLiteral("qlm-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance running(name);
    QVERIFY(running.Listen());
    QSignalSpy front(&running, &SingleInstance::frontRequested);

    // The second copy blocks while it talks, so it runs beside the event loop of the first.
    bool found = false;
    std::thread second([&] { found = SingleInstance(name).AskRunningCopyToFront(); });
    QTRY_COMPARE(front.count(), 1);
    second.join();
    QVERIFY(found);
}

void SingleInstanceTest::aloneThereIsNobodyToAsk() {
    const QString name = QStringLiteral("qlm-test-") + QUuid::createUuid().toString(QUuid::Id128);
    QVERIFY(!SingleInstance(name).AskRunningCopyToFront());
    // A socket left behind by a copy that crashed does not keep the next one from starting.
    SingleInstance first(name);
    QVERIFY(first.Listen());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"

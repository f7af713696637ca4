#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QSignalSpy>
#include <QUuid>
#include <QtTest>
#include <cstring>

#include "app/SingleInstance.h"

using namespace qlm;

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondCopyFindsTheFirstAndAsksItToFront();
};

void SingleInstanceTest::secondCopyFindsTheFirstAndAsksItToFront() {
    const QString name = QStringLiteral("qlm-test-") + QUuid::createUuid().toString(QUuid::Id128);
    QVERIFY(!SingleInstance(name).AskRunningCopyToFront());
    // A socket left behind by a copy that crashed does not keep the next one from starting.
    const QByteArray path = (QDir::tempPath() + '/' + name).toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    const int crashed = socket(AF_UNIX, SOCK_STREAM, 0);
    QCOMPARE(bind(crashed, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(crashed);
    SingleInstance running(name);
    QCOMPARE(running.Listen(), SingleInstance::Claim::Listening);
    QSignalSpy front(&running, &SingleInstance::frontRequested);

    // The second copy blocks while it talks, so it runs beside the event loop of the first.
    bool found = false;
    std::thread second([&] { found = SingleInstance(name).AskRunningCopyToFront(); });
    QTRY_COMPARE(front.count(), 1);
    second.join();
    QVERIFY(found);

    // One started at the same moment, which found nobody yet, finds the first when it cannot
    // listen, and leaves it its socket.
    auto claim = SingleInstance::Claim::Listening;
    std::thread same([&] { claim = SingleInstance(name).Listen(); });
    QTRY_COMPARE(front.count(), 2);
    same.join();
    QCOMPARE(claim, SingleInstance::Claim::SecondCopy);
    QVERIFY(SingleInstance(name).AskRunningCopyToFront());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"

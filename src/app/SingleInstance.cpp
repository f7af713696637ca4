#include "app/SingleInstance.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace qlm {

namespace {

constexpr int WaitMs = 2000;
const QByteArray FrontRequest = "front\n";

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

QString SingleInstance::UserSocketName() {
    const passwd* user = getpwuid(getuid());
    const QString who =
        user != nullptr ? QString::fromLocal8Bit(user->pw_name) : QString::number(getuid());
    return QStringLiteral("quillmere-") + who;
}

bool SingleInstance::AskRunningCopyToFront() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(WaitMs)) {
        return false;
    }
    socket.write(FrontRequest);
    socket.waitForBytesWritten(WaitMs);
    // The running copy closes the connection once it has the request.
    socket.waitForDisconnected(WaitMs);
    return true;
}

SingleInstance::Claim SingleInstance::Listen() {
    // Copies started at the same moment take turns, so that each later one finds the first
    // listening; one stuck holding its turn delays the next by WaitMs at most.
    QLockFile turn(QDir::tempPath() + QLatin1Char('/') + m_name + QStringLiteral(".lock"));
    turn.tryLock(WaitMs);
    if (AskRunningCopyToFront()) {
        return Claim::SecondCopy;
    }
    // Nobody answers: a socket of that name was left by a copy that crashed.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        return Claim::NoSocket;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (client->canReadLine() && client->readLine() == FrontRequest) {
                    emit frontRequested();
                }
                client->disconnectFromServer();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    return Claim::Listening;
}

}  // namespace qlm

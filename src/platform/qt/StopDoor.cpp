#include "platform/qt/StopDoor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace clickpath::platform::qt {

namespace {

constexpr int kAnswerLimitMs = 2000;

// A door's name: the session's id (logind's, as the session's programs
// inherit it), then the process.
QString sessionPrefix()
{
    const QString session = qEnvironmentVariable("XDG_SESSION_ID");
    return (session.isEmpty() ? QStringLiteral("nosession") : session) + '.';
}

} // namespace

QString stopDoorFolder()
{
    // Qt's runtime folder is $XDG_RUNTIME_DIR, or one of the user's own that it makes.
    const QString folder
        = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/clickpath");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

StopDoor::StopDoor(std::function<bool()> stop, const std::function<void(const QString&)>& unopened)
    : stop_(std::move(stop))
    , server_(std::make_unique<QLocalServer>())
{
    const QString path = stopDoorFolder() + '/' + sessionPrefix() + QString::number(QCoreApplication::applicationPid());
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path); // a door left by a process of the same number that was killed
    if (!server_->listen(path)) {
        unopened(QStringLiteral("Cannot open the door for \"clickpath-cli stop\" at %1: %2")
                     .arg(path, server_->errorString()));
        return;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, [this] {
        while (QLocalSocket* knock = server_->nextPendingConnection()) {
            QObject::connect(knock, &QLocalSocket::disconnected, knock, &QObject::deleteLater);
            QObject::connect(knock, &QLocalSocket::readyRead, knock, [this, knock] {
                if (!knock->canReadLine())
                    return;
                const bool asked = knock->readLine().trimmed() == "stop";
                knock->write(asked && stop_() ? "ended\n" : "idle\n");
                knock->flush(); // now: the stop may end the program before its event loop turns again
                knock->disconnectFromServer();
            });
        }
    });
}

StopDoor::~StopDoor()
{
    server_->close(); // removes the socket
}

int knockAtStopDoors()
{
    const QDir folder(stopDoorFolder());
    int ended = 0;
    for (const QString& door : folder.entryList({sessionPrefix() + '*'}, QDir::System)) {
        QLocalSocket knock;
        knock.connectToServer(folder.filePath(door));
        if (!knock.waitForConnected(kAnswerLimitMs)) {
            if (knock.error() == QLocalSocket::ConnectionRefusedError)
                QFile::remove(folder.filePath(door)); // its program is gone
            continue;
        }
        knock.write("stop\n");
        knock.flush();
        while (!knock.canReadLine() && knock.waitForReadyRead(kAnswerLimitMs)) {}
        ended += knock.readLine().trimmed() == "ended";
    }
    return ended;
}

} // namespace clickpath::platform::qt

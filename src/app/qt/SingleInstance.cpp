#include "app/qt/SingleInstance.h"

#include <functional>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "foundation/Log.h"
#include "foundation/MessageBox.h"
#include "storage/DataFile.h"

namespace quillory {

namespace {

constexpr int kStartSeconds = 10; // an instance that is starting or ending gets this long to answer
constexpr int kEndSeconds = 60;   // and this long to save and end after "quit"
constexpr int kAnswerMs = 2000;
constexpr int kRetryMs = 50;

// Runs with different data files (a test's or the demo's own APPDATA) are different instances.
QString KeyOf(const std::string& dataRoot) {
    QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(dataRoot), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(16));
}

} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key(key.isEmpty() ? KeyOf(GetDataRoot()) : std::move(key)) {
    // $XDG_RUNTIME_DIR, or when it is unset a private folder Qt makes under /tmp (mode 0700, owner checked).
    folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        LogError("SingleInstance - No runtime folder; a second start is not detected");
}

SingleInstance::~SingleInstance() {
    // The server's socket goes before the lock, so the next owner never finds the socket in use.
    delete server;
    Unlock();
}

bool SingleInstance::TryLock() {
    if (folder.isEmpty())
        return true;
    if (lockFd < 0) {
        // Close-on-exec: a browser started from the about box must not keep the lock after we end.
        const QByteArray path = QFile::encodeName(folder + "/quillory-" + key + ".lock");
        lockFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd < 0) {
            LogError("SingleInstance - Can't open " + path.toStdString() + ": " + std::strerror(errno));
            return true; // better one program too many than none
        }
    }
    if (::flock(lockFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    return false;
}

void SingleInstance::Unlock() {
    if (lockFd >= 0) {
        ::close(lockFd);
        lockFd = -1;
    }
}

bool SingleInstance::Listen() {
    if (folder.isEmpty())
        return false;
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Whatever socket is there was left by an instance that ended without removing it: the lock is ours.
    QLocalServer::removeServer(SocketPath());
    if (!server->listen(SocketPath())) {
        LogError("SingleInstance - Can't listen on " + SocketPath().toStdString() + ": " +
                 server->errorString().toStdString());
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
    return true;
}

// Takes the lock when no instance runs, or hands `request` to the one that does. Either the owner
// answers, or it is still starting (no socket yet) or ending (lock not yet released): try again
// until one of the two happens.
SingleInstance::Outcome SingleInstance::Reach(const QByteArray& request, bool waitForEnd,
                                              const std::function<Outcome()>& locked) {
    const QDeadlineTimer deadline(kStartSeconds * 1000);
    do {
        if (TryLock())
            return locked();
        if (Send(request, waitForEnd))
            return Outcome::HandedOver;
        QThread::msleep(kRetryMs);
    } while (!deadline.hasExpired());
    return Outcome::NoAnswer;
}

SingleInstance::Outcome SingleInstance::Start() {
    return Reach("show", false, [this] {
        Listen();
        return Outcome::Owner;
    });
}

SingleInstance::Outcome SingleInstance::Quit() {
    return Reach("quit", true, [this] {
        Unlock();
        return Outcome::NotRunning;
    });
}

int SingleInstance::ReportNoAnswer() {
    ShowMessageBox("Quillory is already running but does not answer.", "Quillory", MessageBoxIcon::Warning);
    return 1;
}

bool SingleInstance::Send(const QByteArray& request, bool waitForEnd) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(kAnswerMs))
        return false;
    socket.write(request + "\n");
    if (!socket.waitForBytesWritten(kAnswerMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(kAnswerMs))
        answer += socket.readAll();
    if (answer != "ok\n")
        return false;
    if (waitForEnd && socket.state() != QLocalSocket::UnconnectedState &&
        !socket.waitForDisconnected(kEndSeconds * 1000)) {
        LogError("SingleInstance - The running Quillory did not end");
        return false;
    }
    return true;
}

void SingleInstance::OnConnection() {
    while (QLocalSocket* client = server->nextPendingConnection()) {
        connect(client, &QLocalSocket::readyRead, this, [this, client] { OnRequest(client); });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    }
}

void SingleInstance::OnRequest(QLocalSocket* client) {
    if (!client->canReadLine()) {
        if (client->bytesAvailable() > 64)
            client->abort();
        return;
    }
    const QByteArray request = client->readLine().trimmed();
    if (request != "show" && request != "quit") {
        client->abort();
        return;
    }
    client->write("ok\n");
    client->flush();
    // The asker of "quit" keeps its connection until this process ends, which tells it the data
    // is saved; "show" is done at once.
    if (request == "show")
        client->disconnectFromServer();
    if (ready)
        Perform(request);
    else
        pending.push_back(request);
}

void SingleInstance::SetReady() {
    ready = true;
    std::vector<QByteArray> requests;
    requests.swap(pending);
    for (const QByteArray& request : requests)
        Perform(request);
}

void SingleInstance::Perform(const QByteArray& request) {
    if (request == "show") {
        LogMessage("SingleInstance - Another start asked to show the window");
        emit showRequested();
    } else {
        LogMessage("SingleInstance - Asked to quit");
        emit quitRequested();
    }
}

} // namespace quillory

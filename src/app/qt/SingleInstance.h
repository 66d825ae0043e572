#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace quillory {

// One Quillory per data file and user session, so that two programs never both own the data file.
// The instance holds an flock on "quillory-<key>.lock" in the user's runtime folder
// ($XDG_RUNTIME_DIR) for its whole life and listens on "quillory-<key>.socket" beside it; the
// kernel drops the lock when the process ends, however it ends, so a socket left by a crashed run
// is only ever removed by the next owner of the lock. Other starts talk to the owner over the
// socket: one request line ("show" or "quit"), answered by "ok".
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Owner,      // this process is the instance now
        HandedOver, // the running instance took the request
        NotRunning, // --quit with nobody to ask
        NoAnswer,   // another process holds the lock but does not answer
    };

    // The key defaults to one derived from the data folder.
    explicit SingleInstance(QString key = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // A normal start: becomes the instance, or asks the running one to show its window.
    Outcome Start();
    // --quit: asks the running instance to end as Exit does and waits until it has (its data saved).
    Outcome Quit();
    // A start that found another instance which does not answer: tells the user so; returns 1.
    int ReportNoAnswer();
    // Requests taken before the window existed are passed on now, and later ones at once.
    void SetReady();

    QString SocketPath() const { return folder + "/quillory-" + key + ".socket"; }

signals:
    void showRequested();
    void quitRequested();

private:
    bool TryLock();
    void Unlock();
    bool Listen();
    // Sends one request; true when the instance answered "ok". With waitForEnd, also waits until
    // the instance closes the connection, which it does when its process ends.
    bool Send(const QByteArray& request, bool waitForEnd);
    Outcome Reach(const QByteArray& request, bool waitForEnd, const std::function<Outcome()>& locked);
    void OnConnection();
    void OnRequest(QLocalSocket* client);
    void Perform(const QByteArray& request);

    QString key;
    QString folder;
    int lockFd = -1;
    QLocalServer* server = nullptr;
    bool ready = false;
    std::vector<QByteArray> pending;
};

} // namespace quillory

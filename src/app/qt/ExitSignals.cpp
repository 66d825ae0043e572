#include "app/qt/ExitSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "foundation/Log.h"

namespace quillory {

namespace {

int pipeEnds[2] = {-1, -1};

void OnSignal(int number) {
    // Only async-signal-safe work here: hand the number to the event loop.
    unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[0], &byte, 1);
}

} // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        LogError("ExitSignals::ExitSignals() - Can't create the signal socket pair");
        return;
    }
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ExitSignals::OnReadable);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

ExitSignals::~ExitSignals() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    if (pipeEnds[0] >= 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        pipeEnds[0] = pipeEnds[1] = -1;
    }
}

void ExitSignals::OnReadable() {
    unsigned char byte = 0;
    if (::read(pipeEnds[1], &byte, 1) == 1) {
        LogMessage("ExitSignals::OnReadable() - Received signal " + std::to_string(byte) + ", exiting");
        emit received(byte);
    }
}

} // namespace quillory

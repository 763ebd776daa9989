#include "ui/toolkit/StopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <atomic>

namespace tintwell {
namespace {

std::atomic<bool> arrived{false};
int pipeEnds[2] = {-1, -1};
bool batchRunning = false;
QPointer<QWidget> stopped;

// Only what a signal handler may do: note it, and wake the event loop.
void OnStop(int) {
    arrived.store(true);
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(pipeEnds[1], &byte, 1);
}

void CloseLater() {
    if (stopped) QTimer::singleShot(0, stopped.data(), &QWidget::close);
}

}  // namespace

void CloseOnStopSignals(QWidget& window) {
    stopped = &window;
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [] {
        char bytes[16];
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
        }
        if (!batchRunning) CloseLater();
    });
    struct sigaction action {};
    action.sa_handler = OnStop;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

bool StopSignalArrived() {
    return arrived.load();
}

void BatchRunning(bool running) {
    batchRunning = running;
    if (!running && StopSignalArrived()) CloseLater();
}

}  // namespace tintwell

#include "ui/toolkit/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include "workspace/StopSignals.h"

namespace tintwell {
namespace {

int pipeEnds[2] = {-1, -1};
bool batchRunning = false;
QPointer<QWidget> stopped;

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
    CatchStopSignals(pipeEnds[1]);
}

bool StopSignalArrived() {
    return StopSignal() != 0;
}

void BatchRunning(bool running) {
    batchRunning = running;
    if (!running && StopSignalArrived()) CloseLater();
}

}  // namespace tintwell

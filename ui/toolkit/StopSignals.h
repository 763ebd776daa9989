#pragma once

class QWidget;

namespace tintwell {

// SIGINT, SIGTERM and SIGHUP close `window` as its close button would. A
// batch that is running then ends between two files first (QtBatchProgress
// stops it), and the window closes once it has ended.
void CloseOnStopSignals(QWidget& window);
// True once a stop signal has arrived.
bool StopSignalArrived();
// A batch started (true) or ended (false): a stop signal that arrives
// meanwhile closes the window only when it has ended.
void BatchRunning(bool running);

}  // namespace tintwell

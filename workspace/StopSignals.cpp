#include "workspace/StopSignals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace tintwell {
namespace {

std::atomic<int> arrived{0};
int wakeUp;  // set before the handler is installed

// Only what a signal handler may do: note it, and wake whoever waits.
void OnStop(int signal) {
    arrived.store(signal);
    if (wakeUp < 0) return;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeUp, &signal, sizeof signal);
}

}  // namespace

void CatchStopSignals(int wakeFd) {
    wakeUp = wakeFd;
    struct sigaction action {};
    action.sa_handler = OnStop;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

int StopSignal() {
    return arrived.load();
}

}  // namespace tintwell

#include "cli/StopSignals.h"

#include <signal.h>

#include <atomic>

namespace tintwell::cli {
namespace {

std::atomic<int> arrived{0};

void OnStop(int signal) {
    arrived.store(signal);
}

}  // namespace

void CatchStopSignals() {
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

}  // namespace tintwell::cli

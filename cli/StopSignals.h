#pragma once

namespace tintwell::cli {

// SIGINT, SIGTERM and SIGHUP end a run between files: the file being worked
// on is finished (or left untouched), no further one is started.
void CatchStopSignals();
// The stop signal that arrived, or 0.
int StopSignal();

}  // namespace tintwell::cli

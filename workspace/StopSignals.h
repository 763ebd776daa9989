#pragma once

namespace tintwell {

// SIGINT, SIGTERM and SIGHUP end a run between files: the file being worked
// on is finished (or left untouched), no further one is started. The handler
// only notes the signal and, when `wakeFd` is given, writes a byte to it so
// that an event loop waiting on its other end wakes up.
void CatchStopSignals(int wakeFd = -1);
// The stop signal that arrived, or 0.
int StopSignal();

}  // namespace tintwell

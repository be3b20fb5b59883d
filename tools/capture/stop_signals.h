// The signals that stop a capture (Ctrl+C, SIGTERM, SIGHUP) as Unix tools
// honour them: one the shell left ignored stays ignored (nohup), and a capture
// stopped by one cleans up and then ends by that same signal.
#pragma once

// Runs the platform's start-up with the stop signals held back, then catches
// each of them that was not ignored when the program started.
void StartWithStopSignals();
// The signal that asked the capture to stop; 0 while none has.
int StopSignal();
// Ends the process by the stop signal that came, with its default action, so
// that the shell sees what stopped it (a loop in a script stops too).
[[noreturn]] void EndByStopSignal();

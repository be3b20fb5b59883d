// Encoding beside painting: each painted frame goes to a second thread that
// adds its stretch of sound and feeds the video file, so that the next frame
// is painted while this one is encoded.
#pragma once
#include <cstdint>

// Starts the thread over the open video file.
void StartEncoderThread();
// A FRAME_WIDTH x FRAME_HEIGHT buffer to paint the next frame into; waits while
// every buffer is queued. Null once a write has failed.
uint32_t* FreeFrameBuffer();
// Queues a painted buffer with the show's sound frames soundFrom..soundTo-1.
void QueueFrame(uint32_t* buffer, int64_t soundFrom, int64_t soundTo);
// Writes what is queued (or drops it when discard is set), ends the thread and
// returns false when a write failed; busySeconds is the time it spent working.
bool StopEncoderThread(bool discard, double& busySeconds);

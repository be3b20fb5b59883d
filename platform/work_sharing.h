// Work shared between the calling thread and one helper thread, for painting
// the frame and putting it on a window: how many threads take part (1 or 2),
// and running one job on them. Owned by work_sharing.cpp.
#pragma once

// Runs take(context) on the calling thread and, while two threads are chosen,
// at the same time on the helper; returns when both are done. take shares the
// work out itself: each call claims pieces until none is left, so one call
// alone does all of it.
void ShareWork(void (*take)(void*), void* context);
// 1 or 2 (clamped). Until chosen: 2 on machines with more than one core.
void SetWorkThreads(int threads);
// The threads a job runs on now; 1 from the moment the system refuses to
// start the helper.
int WorkThreads();

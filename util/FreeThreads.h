// Runs tasks at once, each on a thread that has nothing else to do, as a
// detached std::thread per task would, but keeps the threads: a thread whose
// task ended waits a while for the next one. Starting and ending a thread
// (mapping its stack, unmapping it, and the other processor's cache flush
// that goes with it) costs more than a small task such as one event report.
// No task ever queues behind another: when no thread is free, a new one
// starts, so a task that waits on the network delays no other.
#pragma once

#include <functional>

// Hands `task` to a free thread, or to a new one when none is free. Throws
// std::system_error when no thread is free and none can be started; the task
// is then not run.
void RunOnFreeThread(std::function<void()> task);

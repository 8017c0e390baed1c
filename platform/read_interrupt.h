// Giving up a read that blocks (a stalled pipe, device or network file) on the thread that makes it.
#pragma once

#include <thread>

// Asks reader to give up the read it is blocked in: that read and every later one on that thread fail
// with a FileException. Where the platform cannot interrupt a read, does nothing.
void InterruptReads(std::thread& reader);

// Whether reads on the calling thread were asked to give up.
bool ReadsInterrupted();

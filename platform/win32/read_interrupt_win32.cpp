// Windows reads of the files a join opens do not block without end: nothing to interrupt.
#include "platform/read_interrupt.h"

void InterruptReads(std::thread&) {}

bool ReadsInterrupted() {
    return false;
}

// Above normal is open to every process; it stays within the process's priority class.
#include <windows.h>

#include "platform/thread_priority.h"

bool RaiseThisThread() {
    return ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != 0;
}

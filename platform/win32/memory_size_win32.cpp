// The total the whole machine has, also for the 32-bit program, which can address far less of it.
#include <windows.h>

#include "platform/memory_size.h"

uint64_t PhysicalMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    return ::GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

// On Linux the nice value is each thread's own: setpriority with the thread's ID changes only that thread.
// Going below the process's value needs privileges, so an ordinary user's thread stays as it was.
#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

bool RaiseThisThread() {
#ifdef __linux__
    const id_t self = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, self);
    if (errno != 0)
        return false;
    return ::setpriority(PRIO_PROCESS, self, now - 5) == 0;
#else
    return false;
#endif
}

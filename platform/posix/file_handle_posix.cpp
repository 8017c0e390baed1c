// Closing a file descriptor on POSIX.
#include <unistd.h>

#include "platform/file_handle.h"

void FileHandleTraits::Close(Handle handle) {
    ::close(handle);
}

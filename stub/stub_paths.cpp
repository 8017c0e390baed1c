// catstub finds its set beside its own file, whatever that file is called and whatever the
// current directory is: a shortcut or a download's renamed copy must not join another set.
#include <windows.h>

#include "stub/stub_paths.h"

bool FindOwnFile(char (&self)[kStubPathSize], char (&folder)[kStubPathSize]) {
    const DWORD len = ::GetModuleFileNameA(nullptr, self, kStubPathSize);
    if (len == 0 || len >= kStubPathSize)
        return false;
    size_t end = 0;
    for (size_t i = 0; i < len; ++i)
        if (self[i] == '\\' || self[i] == '/')
            end = i + 1;
    for (size_t i = 0; i < end; ++i)
        folder[i] = self[i];
    folder[end] = 0;
    return end > 0;
}

// Finding the catstub image among the program's own resources.
#include "ui/stub_resource.h"

#include <windows.h>

std::optional<StubImageBytes> LoadStubImage() {
    // A null module means the executable itself, where the resources were linked.
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kStubResourceId), kStubResourceType);
    if (found == nullptr)
        return std::nullopt;
    // A loaded resource stays mapped with the module; there is no handle to release.
    const HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr)
        return std::nullopt;
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    if (bytes == nullptr || size == 0)
        return std::nullopt;
    return StubImageBytes{static_cast<const uint8_t*>(bytes), size};
}

// The catstub program that Fendrik carries in its own resources, for the first
// piece of a self-catenating split.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// Resource type "Binary", id 133: the built catstub.exe, byte for byte.
constexpr int kStubResourceId = 133;
constexpr const char kStubResourceType[] = "Binary";

struct StubImageBytes {
    const uint8_t* data; // lives as long as the module: nothing to free
    size_t size;
};

// The image from this program's own module; empty when the resource is missing
// or cannot be loaded. The caller checks the size against kStubImageSize.
std::optional<StubImageBytes> LoadStubImage();

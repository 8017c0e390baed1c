// The size of the catstub image. catstub finds the piece header at this offset
// of "_Split#000.exe", and the build pads catstub.exe to exactly this length.
#pragma once

constexpr unsigned long kStubImageSize = 45056;

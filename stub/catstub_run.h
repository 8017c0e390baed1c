// One run of catstub: confirm, read the header, rejoin the set, check its CRC-32.
#pragma once

// Works in the folder of its own file and reports everything in message boxes.
void RunCatstub();

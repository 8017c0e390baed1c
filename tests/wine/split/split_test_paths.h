// Where the split tests find the built programs, and small readers for what a
// split leaves behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/crc_text.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/support/box_robot.h"

// Fendrik.exe and catstub.exe as Windows sees them: from FENDRIK_BIN when set,
// else where this build put them.
std::string FendrikPath();
std::string CatstubPath();
// The bytes of a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Names of the "_Split#*" entries in folder, sorted.
std::vector<std::string> PieceNamesIn(const std::string& folder);

// Runs the self-catenating first piece of dir under the robot, answering OK to
// every box, after moving largeName aside: catstub would refuse to overwrite it.
RobotResult RunFirstPieceAside(const TempDir& dir, const std::string& largeName);

// A file held open for writing with no sharing, as another program that is
// still writing it would: nobody else may open it while this lives.
class LockedFile {
public:
    explicit LockedFile(const std::string& path);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    bool IsLocked() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

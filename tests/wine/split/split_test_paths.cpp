// Paths of the built programs and readers of split results, for the split tests.
#include "tests/wine/split/split_test_paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "platform/find_files.h"
#include "tests/wine/support/built_programs.h"

std::string FendrikPath() {
    return BuiltProgramPath("Fendrik.exe", FENDRIK_UNIX_PATH);
}

std::string CatstubPath() {
    return BuiltProgramPath("catstub.exe", CATSTUB_UNIX_PATH);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> PieceNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const FoundFile& found : FindFiles(folder + "\\_Split#*"))
        names.push_back(found.name);
    std::sort(names.begin(), names.end());
    return names;
}

RobotResult RunFirstPieceAside(const TempDir& dir, const std::string& largeName) {
    std::filesystem::rename(dir.Native(largeName), dir.Native("original-" + largeName));
    RobotRun run;
    run.program = dir.File("_Split#000.exe");
    run.directory = dir.Path();
    run.script = {{"User Confirm", IDOK}, {"Info", IDOK}};
    return RunWithRobot(run);
}

LockedFile::LockedFile(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

LockedFile::~LockedFile() {
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
}

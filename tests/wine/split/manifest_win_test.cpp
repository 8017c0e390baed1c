// The application manifests of the built programs, read back from their
// resources: visual styles, DPI awareness, the Windows versions, long paths and
// the UTF-8 code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/wine/split/split_test_paths.h"

namespace {

// The RT_MANIFEST resource 1 of a program, without running it; empty when there is none.
std::string ManifestOf(const std::string& program) {
    const HMODULE module =
        LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return {};
    std::string text;
    if (const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const HGLOBAL loaded = LoadResource(module, found);
        const char* bytes = static_cast<const char*>(LockResource(loaded));
        if (bytes)
            text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

} // namespace

TEST(Manifest, BothProgramsAskForTodaysWindows) {
    for (const std::string& program : {FendrikPath(), CatstubPath()}) {
        const std::string manifest = ManifestOf(program);
        ASSERT_FALSE(manifest.empty()) << program << " has no manifest resource 1";
        for (const char* part : {
                 "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                 ">PerMonitorV2, PerMonitor</dpiAwareness>",
                 ">true/pm</dpiAware>",
                 ">true</longPathAware>",
                 ">UTF-8</activeCodePage>",
                 "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
                 "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
                 "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
                 "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
                 "level=\"asInvoker\"",
             })
            EXPECT_NE(std::string::npos, manifest.find(part)) << program << " lacks " << part;
    }
}

// A set whose header records its name in Windows-1252 (as Fendrik wrote it on
// older systems) or in UTF-8 (as under the UTF-8 code page) comes back under
// the same name.
#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

TEST_F(CatDialogTest, ANameInTheAnsiCodePageOrInUtf8IsRejoinedUnderItsName) {
    const std::string data = TestBytes(2500, 9);
    const char* const recorded[] = {"\xDC"
                                    "bung.avi",
                                    "\xC3\x9C"
                                    "bung.avi"};
    for (const char* name : recorded) {
        TempDir dir;
        dir.Enter();
        WritePieces(dir, CrcText(CrcOf(data)) + "#" + name + ";", data, 1000);
        messenger.Clear();
        Type(dir.File("_Split#000"));
        Click(IDC_START_CAT);
        ASSERT_EQ(1u, messenger.shown.size()) << name;
        EXPECT_EQ(Icon::Information, messenger.shown[0].icon) << messenger.shown[0];
        const std::wstring rejoined = Widen(dir.Path()) + L"\\\u00DCbung.avi";
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(rejoined.c_str())) << "recorded as " << name;
    }
}

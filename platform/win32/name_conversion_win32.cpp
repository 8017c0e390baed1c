// Name encodings on Win32: kernel32's conversions through UTF-16, no C runtime.
#include "platform/name_conversion.h"

#include <windows.h>

namespace {

// More than any one name can hold (255 UTF-16 units); longer names are refused.
constexpr int kWideCapacity = 512;

// The code page of the system locale, which older programs wrote names in. Asked
// by the locale's name: Wine does not know LOCALE_NAME_SYSTEM_DEFAULT.
UINT SystemAnsiCodePage() {
    WCHAR locale[LOCALE_NAME_MAX_LENGTH];
    DWORD codePage = 0;
    const int words = sizeof codePage / sizeof(WCHAR);
    const LCTYPE type = LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER;
    if (GetSystemDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) > 0 &&
        GetLocaleInfoEx(locale, type, reinterpret_cast<LPWSTR>(&codePage), words) > 0)
        return codePage;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, reinterpret_cast<LPWSTR>(&codePage), words) > 0)
        return codePage;
    return 0;
}

size_t Convert(UINT from, UINT to, const char* name, size_t len, char* out, size_t cap) {
    if (from == 0 || cap == 0 || len >= static_cast<size_t>(kWideCapacity))
        return 0;
    WCHAR wide[kWideCapacity];
    const int units = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, name, static_cast<int>(len), wide, kWideCapacity);
    if (units <= 0)
        return 0;
    // A character the target lacks would become '?' or a look-alike: another name, so none.
    const bool utf8 = to == CP_UTF8;
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(to, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, units, out,
                                          static_cast<int>(cap - 1), nullptr, utf8 ? nullptr : &usedDefault);
    if (bytes <= 0 || usedDefault)
        return 0;
    out[bytes] = 0;
    return static_cast<size_t>(bytes);
}

} // namespace

size_t AnsiToUtf8(const char* name, size_t len, char* out, size_t cap) {
    return Convert(SystemAnsiCodePage(), CP_UTF8, name, len, out, cap);
}

size_t Utf8ToFileName(const char* name, size_t len, char* out, size_t cap) {
    return Convert(CP_UTF8, GetACP(), name, len, out, cap);
}

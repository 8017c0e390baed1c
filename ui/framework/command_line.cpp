// Reading the command line through CommandLineToArgvW, which knows Windows' quoting rules.
#include "ui/framework/command_line.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/owned_handles.h"

namespace {

// The argument array CommandLineToArgvW allocates, freed with it.
class ArgumentList {
public:
    ArgumentList() : arguments_(CommandLineToArgvW(GetCommandLineW(), &count_)) {}

    int Count() const { return arguments_.IsValid() ? count_ : 0; }
    const wchar_t* At(int i) const { return arguments_.Get()[i]; }

private:
    int count_ = 0;
    LocalMemory<LPWSTR*> arguments_;
};

std::string ForAFunctions(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string converted(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, converted.data(), size, nullptr, nullptr);
    converted.resize(static_cast<size_t>(size - 1));
    return converted;
}

// A relative name is taken against the directory the program was started in, now, once.
std::string FullPath(const std::string& path) {
    const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::string full(size, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

} // namespace

std::vector<std::string> CommandLineFiles() {
    const ArgumentList arguments;
    std::vector<std::string> files;
    for (int i = 1; i < arguments.Count(); ++i) {
        const std::string path = ForAFunctions(arguments.At(i));
        if (!path.empty())
            files.push_back(FullPath(path));
    }
    return files;
}

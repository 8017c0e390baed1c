// Changing the current directory on POSIX.
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "platform/current_dir.h"
#include "platform/path_text.h"

bool SetCurrentDirectoryTo(const std::string& path, uint32_t* error) {
    if (::chdir(NativePath(path).c_str()) == 0)
        return true;
    *error = static_cast<uint32_t>(errno);
    return false;
}

namespace {

// The path the kernel resolves, or empty when it cannot (a folder that does not exist).
std::string Resolved(const std::string& path) {
    const std::unique_ptr<char, void (*)(void*)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

} // namespace

std::string TypedPath(const std::string& typed) {
    const size_t slash = typed.rfind('/');
    const std::string name = slash == std::string::npos ? typed : typed.substr(slash + 1);
    std::string path = typed;
    if (name.empty() || name == "." || name == "..") {
        if (const std::string whole = Resolved(typed); !whole.empty())
            path = whole;
    } else {
        const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : typed.substr(0, slash));
        if (const std::string real = Resolved(folder); !real.empty())
            path = (real == "/" ? std::string() : real) + "/" + name;
    }
    return PortablePath(path);
}

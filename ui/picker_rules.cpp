// The pickers' window-free rules: filter buffer, hook path, click order.
#include "ui/picker_rules.h"

#include <algorithm>
#include <cstring>

std::array<char, kFilterBufferSize> MakeFilterBuffer(const std::string& filter) {
    std::array<char, kFilterBufferSize> buffer{};
    static const char kDefault[] = "All (*.*)\0*.*\0";
    std::memcpy(buffer.data(), kDefault, sizeof kDefault);
    if (filter.empty())
        return buffer;
    buffer.fill('\0');
    // c_str() supplies the final zero of a filter written with one zero after its last pattern.
    const char* source = filter.c_str();
    const size_t available = filter.size() + 1;
    for (size_t i = 0; i < kFilterBufferSize - 2 && i < available; ++i) {
        buffer[i] = source[i];
        if (i > 0 && buffer[i] == '\0' && buffer[i - 1] == '\0')
            break;
    }
    return buffer;
}

std::string SelectedPath(std::string folder, const std::string& spec) {
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    const size_t quote = spec.find('"');
    if (quote == std::string::npos)
        return folder + "\\" + spec;
    // The field lists several names, each quoted: take the first.
    const size_t end = spec.find('"', quote + 1);
    return folder + "\\" + spec.substr(quote + 1, end == std::string::npos ? std::string::npos : end - quote - 1);
}

void RecordSelection(std::vector<std::string>& record, const std::string& path) {
    if (std::find(record.begin(), record.end(), path) == record.end())
        record.push_back(path);
}

namespace {

// Byte-wise lower case of the C locale: only 'A'..'Z' change.
std::string Lowered(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The next zero-terminated string at pos, not running past size.
std::string StringAt(const char* buffer, size_t size, size_t pos) {
    const char* start = buffer + pos;
    const void* zero = std::memchr(start, '\0', size - pos);
    const size_t len = zero ? static_cast<const char*>(zero) - start : size - pos;
    return std::string(start, len);
}

} // namespace

std::vector<std::string> OrderPickedFiles(const char* buffer, size_t size, const std::vector<std::string>& record) {
    std::vector<std::string> result;
    if (size == 0)
        return result;
    std::string folder = StringAt(buffer, size, 0);
    size_t pos = folder.size() + 1;
    if (pos >= size || buffer[pos] == '\0') {
        result.push_back(folder);
        return result;
    }
    if (folder.size() == 3)
        folder.pop_back();
    std::vector<std::string> chosen;
    while (pos < size && buffer[pos] != '\0') {
        const std::string name = StringAt(buffer, size, pos);
        chosen.push_back(folder + "\\" + name);
        pos += name.size() + 1;
    }

    struct Ranked {
        size_t rank;
        std::string path;
    };
    std::vector<Ranked> recorded;
    std::vector<std::string> unrecorded;
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
        const auto found = std::find(record.rbegin(), record.rend(), *it);
        if (found != record.rend())
            recorded.push_back({static_cast<size_t>(record.rend() - found - 1), *it});
        else
            unrecorded.push_back(*it);
    }
    std::sort(recorded.begin(), recorded.end(), [](const Ranked& a, const Ranked& b) { return a.rank < b.rank; });
    // std::string compares as unsigned bytes (char_traits<char>::lt), prefix first.
    std::sort(unrecorded.begin(), unrecorded.end(),
              [](const std::string& a, const std::string& b) { return Lowered(a) < Lowered(b); });

    for (size_t i = 0; i + 1 < recorded.size(); ++i)
        result.push_back(recorded[i].path);
    result.insert(result.end(), unrecorded.begin(), unrecorded.end());
    if (!recorded.empty())
        result.push_back(recorded.back().path);
    return result;
}

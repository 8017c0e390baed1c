// JSON strings for any name.
#include "cli/json_text.h"

#include <cstdio>

#include "core/name_bytes.h"

namespace {

void AppendJsonByte(std::string& json, char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
        json += '\\';
        json += c;
    } else if (u < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
        json += escaped;
    } else {
        json += c;
    }
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t valid = Utf8PrefixLength(text.data() + i, text.size() - i);
        if (valid == 0) {
            json += "\\ufffd";
            ++i;
            continue;
        }
        for (const size_t end = i + valid; i < end; ++i)
            AppendJsonByte(json, text[i]);
    }
    return json + "\"";
}

// The progress line: percent, bytes, rate and time left.
#include "cli/progress_line.h"

#include <cstdio>

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

std::string Duration(double seconds) {
    const long long s = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

} // namespace

std::string HumanSize(uint64_t bytes) {
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    while (value >= 1024 && unit + 1 < sizeof kUnits / sizeof kUnits[0]) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string ProgressText(const std::string& label, uint64_t done, uint64_t total, double seconds) {
    const unsigned percent = total == 0 ? 100 : static_cast<unsigned>(done * 100.0 / static_cast<double>(total));
    char head[16];
    std::snprintf(head, sizeof head, "%3u%%", percent);
    std::string text = label + "  " + head + "  " + HumanSize(done) + " of " + HumanSize(total);
    if (seconds > 0.2 && done > 0) {
        const double rate = static_cast<double>(done) / seconds;
        text += "  " + HumanSize(static_cast<uint64_t>(rate)) + "/s";
        if (done < total)
            text += "  " + Duration(static_cast<double>(total - done) / rate) + " left";
    }
    return text;
}

ProgressLine::ProgressLine(Console& console, std::string label) : console_(console), label_(std::move(label)) {}

bool ProgressLine::Report(uint64_t done, uint64_t total) {
    if (console_.StopRequested())
        return false;
    const Clock::time_point now = Clock::now();
    if (console_.ShowsProgress() && (now - lastDrawn_ >= kRedrawEvery || done == total)) {
        lastDrawn_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        console_.Progress(ProgressText(label_, done, total, seconds));
    }
    return true;
}

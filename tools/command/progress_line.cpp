#include "progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

ProgressLine::ProgressLine(std::string label, int64_t total, std::string unit)
    : ProgressLine(std::move(label), total, std::move(unit), isatty(STDERR_FILENO) == 1) {}

ProgressLine::ProgressLine(std::string label, int64_t total, std::string unit, bool terminal)
    : label_(std::move(label)), unit_(std::move(unit)), total_(total), terminal_(terminal),
      start_(std::chrono::steady_clock::now()) {}

std::string ProgressLine::Text(int64_t done, int64_t total, double seconds, const std::string& unit) {
    constexpr int kWidth = 30;
    const int64_t shown = std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 0));
    const int filled = total > 0 ? static_cast<int>(shown * kWidth / total) : kWidth;
    const int percent = total > 0 ? static_cast<int>(shown * 100 / total) : 100;
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    char left[32] = "--:--";
    if (rate > 0) {
        const long long secondsLeft = static_cast<long long>(static_cast<double>(total - shown) / rate + 0.5);
        std::snprintf(left, sizeof left, "%lld:%02lld", secondsLeft / 60, secondsLeft % 60);
    }
    char fps[32] = "";
    if (unit == "frame") std::snprintf(fps, sizeof fps, " %6.1f fps", rate);
    char line[200];
    std::snprintf(line, sizeof line, "[%s%s] %3d%% %s %lld/%lld%s %s left", std::string(filled, '#').c_str(),
                  std::string(kWidth - filled, '.').c_str(), percent, unit.c_str(), static_cast<long long>(done),
                  static_cast<long long>(total), fps, left);
    return line;
}

void ProgressLine::Show(int64_t done, const std::string& note) {
    const int tenths = total_ > 0 ? static_cast<int>(std::clamp<int64_t>(done, 0, total_) * 10 / total_) : 10;
    if (!terminal_ && tenths == shownTenths_) return;
    shownTenths_ = tenths;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const std::string text = label_ + ": " + Text(done, total_, seconds, unit_) + (note.empty() ? "" : " " + note);
    // \033[K clears what a longer note left on the line.
    std::fprintf(stderr, terminal_ ? "\r%s\033[K" : "%s\n", text.c_str());
    std::fflush(stderr);
}

void ProgressLine::Finish() {
    if (terminal_) std::fprintf(stderr, "\n");
}

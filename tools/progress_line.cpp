#include "progress_line.h"

#include <algorithm>
#include <cstdio>

std::string ProgressLine::Text(int64_t done, int64_t total, double seconds) {
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
    char line[160];
    std::snprintf(line, sizeof line, "[%s%s] %3d%% frame %lld/%lld %6.1f fps %s left",
                  std::string(filled, '#').c_str(), std::string(kWidth - filled, '.').c_str(), percent,
                  static_cast<long long>(done), static_cast<long long>(total), rate, left);
    return line;
}

void ProgressLine::Show(int64_t done) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "\r%s", Text(done, total_, seconds).c_str());
    std::fflush(stderr);
}

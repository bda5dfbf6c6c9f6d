#include "live_options.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr long kLargestEdge = 16384;
constexpr long kLatestStartMs = 24L * 60 * 60 * 1000;

// The whole text as a decimal number in [low, high].
bool ParseNumber(const std::string& text, long low, long high, long* value) {
    if (text.empty() || text[0] == '+' || text[0] == '-' || text[0] == ' ') return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

bool ParseSize(const std::string& text, LiveOptions* options) {
    const size_t x = text.find('x');
    long width = 0, height = 0;
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), 1, kLargestEdge, &width) ||
        !ParseNumber(text.substr(x + 1), 1, kLargestEdge, &height))
        return false;
    options->width = static_cast<int>(width);
    options->height = static_cast<int>(height);
    return true;
}

}  // namespace

bool ParseLiveOptions(int argc, const char* const* argv, LiveOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--size" || argument == "--at") {
            if (i + 1 >= argc) {
                *error = argument + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            long at = 0;
            if (argument == "--size" && !ParseSize(value, options)) {
                *error = "--size takes WIDTHxHEIGHT, each 1 to " + std::to_string(kLargestEdge) + ", not \"" + value + "\"";
                return false;
            }
            if (argument == "--at") {
                if (!ParseNumber(value, 0, kLatestStartMs, &at)) {
                    *error = "--at takes milliseconds from 0 to " + std::to_string(kLatestStartMs) + ", not \"" +
                             value + "\"";
                    return false;
                }
                options->atMs = static_cast<int>(at);
            }
        } else if (!argument.empty() && argument[0] == '-') {
            *error = "unknown option \"" + argument + "\"";
            return false;
        } else if (options->dataDir.empty()) {
            options->dataDir = argument;
        } else {
            *error = "one data directory only, not also \"" + argument + "\"";
            return false;
        }
    }
    if (options->dataDir.empty()) {
        *error = "no data directory";
        return false;
    }
    return true;
}

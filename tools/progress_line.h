// One line on stderr, rewritten in place with \r: a bar, frames done of all,
// the rate so far and the time left at that rate.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class ProgressLine {
public:
    explicit ProgressLine(int64_t total) : total_(total), start_(std::chrono::steady_clock::now()) {}
    void Show(int64_t done);
    // The line as Show writes it, without the \r.
    static std::string Text(int64_t done, int64_t total, double seconds);

private:
    int64_t total_;
    std::chrono::steady_clock::time_point start_;
};

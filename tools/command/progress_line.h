// Progress of a long run on stderr. On a terminal: one line rewritten in
// place with \r, a bar, items done of all, the rate so far and the time left
// at that rate. Elsewhere (a log, a pipe): a plain line at each tenth.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class ProgressLine {
public:
    // unit names what is counted; "frame" also shows the rate in fps.
    // terminal: whether stderr is a terminal (the bar) or not (plain lines).
    ProgressLine(std::string label, int64_t total, std::string unit = "frame");
    ProgressLine(std::string label, int64_t total, std::string unit, bool terminal);
    // note follows the figures on the line, such as the step under way.
    void Show(int64_t done, const std::string& note = "");
    // Ends the bar's line, so that what follows starts on a line of its own.
    void Finish();

    // The figures as Show writes them, without the label.
    static std::string Text(int64_t done, int64_t total, double seconds, const std::string& unit = "frame");

private:
    std::string label_, unit_;
    int64_t total_;
    bool terminal_;
    int shownTenths_ = -1;  // plain lines: the last tenth written
    std::chrono::steady_clock::time_point start_;
};

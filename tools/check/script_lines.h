// The script's lines as the player takes them, for the checks that read it.
#pragma once

#include <functional>
#include <string>

// A numbered line of the script, carriage return before the line feed dropped.
struct ScriptLine {
    int number;
    std::string text;
};

// Hands each complete, non-empty line to handle. Returns what follows the
// last line feed, which the player ignores, and its number in *lastNumber.
inline std::string ForEachScriptLine(const std::string& text, const std::function<void(const ScriptLine&)>& handle,
                                     int* lastNumber) {
    std::string line;
    int number = 1;
    for (char byte : text) {
        if (byte != '\n') {
            line += byte;
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) handle({number, line});
        line.clear();
        ++number;
    }
    *lastNumber = number;
    return line;
}

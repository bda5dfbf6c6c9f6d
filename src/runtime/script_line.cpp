#include "runtime/script_line.h"

#include <cstdlib>
#include <cstring>

std::string ScriptField(const std::string& line, int index) {
    std::string field;
    int current = 0;
    bool quoted = false;
    for (char byte : line) {
        if (byte == '"') {
            quoted = !quoted;
        } else if (byte == ' ' && !quoted) {
            if (current == index) return field;
            ++current;
        } else if (current == index) {
            field += byte;
        }
    }
    return current == index ? field : std::string();
}

std::string ParameterName(const std::string& line) {
    const size_t dash = line.find('-');
    if (dash == std::string::npos) return {};
    const size_t space = line.find(' ', dash + 1);
    if (space == std::string::npos) return {};
    return line.substr(dash + 1, space - dash - 1);
}

std::string TextAfterName(const std::string& line) {
    const size_t dash = line.find('-');
    if (dash == std::string::npos) return {};
    const size_t space = line.find(' ', dash + 1);
    if (space == std::string::npos) return {};
    return line.substr(space + 1);
}

bool MatchesKeyword(const std::string& line, const char* keyword) {
    const size_t length = std::strlen(keyword);
    return line.size() >= 1 + length && line.compare(1, length, keyword) == 0;
}

// c_str stops at an embedded zero byte, as the C conversions would.
int ScriptInt(const std::string& text) { return std::atoi(text.c_str()); }

float ScriptFloat(const std::string& text) { return static_cast<float>(std::atof(text.c_str())); }

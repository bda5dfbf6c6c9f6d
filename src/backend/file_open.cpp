#include "backend/file_open.h"

#include <algorithm>

FILE* OpenDataFile(const std::string& path, const char* mode) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return std::fopen(native.c_str(), mode);
}

// Prints what a compound file holds, as the engine loads it, so that a demo
// maker can see why a lookup by name fails.
// Usage: nc_info FILE.nc
#include <cstdio>

#include "compound_reading.h"
#include "compound_summary.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.nc\n", argv[0]);
        return 2;
    }
    compound_file::File file;
    std::string error;
    if (!ReadCompound(argv[1], &file, &error)) {
        std::fprintf(stderr, "nc_info: error: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::fputs(DescribeCompound(file).c_str(), stdout);
    return 0;
}

// Writes the demo's compound files.
// Usage: make_models OUTPUT_DIRECTORY
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "compound_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    for (const CompoundFile& file : CompoundFiles()) {
        const std::string bytes = compound_file::Write(file.build());
        std::ofstream out(directory / file.name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], (directory / file.name).c_str());
            return 1;
        }
    }
    return 0;
}

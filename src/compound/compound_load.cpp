#include <cstdio>
#include <vector>

#include "backend/file_open.h"
#include "backend/load_phases.h"
#include "backend/win32.h"
#include "compound/compound_load_records.h"

namespace {

constexpr const char* kCaption = "Compound::Load(...)";

bool ReadWhole(FILE* file, std::vector<uint8_t>* bytes) {
    uint8_t chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    return !std::ferror(file);
}

}  // namespace

bool Compound::Load(std::string name) {
    LoadPhaseTimer timer(LoadPhase::Compounds);
    std::string path = "models\\" + name;
    FILE* file = OpenDataFile(path, "rb");
    if (!file) file = OpenDataFile(path = name, "rb");
    if (!file) {
        MessageBoxA(nullptr, "Compound file not found!", kCaption, MB_OK);
        return false;
    }
    // The old instances point into the old datablocks, so both go.
    *this = Compound();
    datablocks = std::make_unique<DatablockLists>();

    std::vector<uint8_t> bytes;
    const bool readable = ReadWhole(file, &bytes);
    std::fclose(file);
    try {
        if (!readable) throw CompoundLoadError{"cannot be read"};
        // Built aside, so that a damaged file leaves this compound empty.
        Compound loaded;
        loaded.datablocks = std::make_unique<DatablockLists>();
        LoadCursor in(bytes.data(), bytes.size());
        ReadCompoundFile(in, loaded);
        *this = std::move(loaded);
        return true;
    } catch (const CompoundLoadError& error) {
        MessageBoxA(nullptr, (path + ": " + error.text).c_str(), kCaption, MB_OK);
        return false;
    }
}

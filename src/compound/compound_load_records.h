// Readers of the compound file's records, each appending what it reads to
// the lists; a damaged record throws CompoundLoadError from the cursor.
#pragma once

#include <cstdint>

#include "compound/compound.h"
#include "compound/compound_load_cursor.h"

// The fewest bytes each record can take, so that counts are checked before
// anything is made for them.
constexpr uint64_t kMinimumTextureSize = 4;
constexpr uint64_t kMinimumMaterialSize = 4 + 16 + 4 * 4;
constexpr uint64_t kMinimumModelSize = 4 + 4 + 4 + 12 + 12 + 4;
constexpr uint64_t kMinimumCameraSize = 4 + 4;
constexpr uint64_t kMinimumLightSize = 4 + 4 + 4 + 16 + 4;
constexpr uint64_t kMinimumArmatureSize = 4 + 4 + 4;
constexpr uint64_t kMinimumNodeSize = 4 + 12 + 16 + 12 + 4 + 8;

// The header and every record after it, into a compound whose datablocks are empty.
void ReadCompoundFile(LoadCursor& in, Compound& compound);

void ReadTexture(LoadCursor& in, DatablockLists& lists);
void ReadMaterial(LoadCursor& in, DatablockLists& lists);
void ReadModel(LoadCursor& in, DatablockLists& lists);
void ReadCamera(LoadCursor& in, DatablockLists& lists);
void ReadLight(LoadCursor& in, DatablockLists& lists);
void ReadArmature(LoadCursor& in, DatablockLists& lists);
// Fills node, one of the compound's nodes, and adds the instance it places.
void ReadNode(LoadCursor& in, Compound& compound, Node& node);

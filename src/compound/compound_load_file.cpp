#include <string>

#include "compound/compound_load_records.h"

namespace {

using RecordReader = void (*)(LoadCursor&, DatablockLists&);

struct RecordKind {
    const char* name;
    uint64_t minimumSize;
    RecordReader read;  // null for nodes, which need the whole compound
};

// In file order, which is also header order.
constexpr RecordKind kRecordKinds[] = {
    {"texture", kMinimumTextureSize, ReadTexture},    {"material", kMinimumMaterialSize, ReadMaterial},
    {"model", kMinimumModelSize, ReadModel},          {"camera", kMinimumCameraSize, ReadCamera},
    {"light", kMinimumLightSize, ReadLight},          {"armature", kMinimumArmatureSize, ReadArmature},
    {"node", kMinimumNodeSize, nullptr},
};
constexpr size_t kKindCount = sizeof kRecordKinds / sizeof kRecordKinds[0];

}  // namespace

void ReadCompoundFile(LoadCursor& in, Compound& compound) {
    in.Bytes(4);  // the tag says nothing the counts do not
    uint32_t counts[kKindCount];
    uint64_t needed = 0;
    for (size_t k = 0; k < kKindCount; ++k) {
        counts[k] = in.U32();
        needed += counts[k] * kRecordKinds[k].minimumSize;
    }
    if (needed > in.Remaining())
        in.Fail("counts need at least " + std::to_string(needed) + " bytes of records, more than the " +
                std::to_string(in.Remaining()) + " left");

    DatablockLists& lists = *compound.datablocks;
    for (size_t k = 0; k + 1 < kKindCount; ++k)
        for (uint32_t i = 0; i < counts[k]; ++i) {
            in.Enter(kRecordKinds[k].name + (" " + std::to_string(i)));
            kRecordKinds[k].read(in, lists);
        }
    // Parents may come later in the file, so every node exists before any is read.
    const uint32_t nodes = counts[kKindCount - 1];
    for (uint32_t i = 0; i < nodes; ++i) lists.nodes.push_back(std::make_unique<Node>());
    for (uint32_t i = 0; i < nodes; ++i) {
        in.Enter("node " + std::to_string(i));
        ReadNode(in, compound, *lists.nodes[i]);
    }
}

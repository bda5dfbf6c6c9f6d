// Finding datablocks by name, and the end of the process when one is missing.
#include <gtest/gtest.h>

#include "compound_fixture.h"
#include "platform/unseen_frames.h"
#include "recording_fixture.h"

namespace {

class CompoundLookup : public CompoundFiles {
protected:
    void SetUp() override {
        CompoundFiles::SetUp();
        ASSERT_TRUE(Load(cf::Write(SampleFile())));
    }
    const DatablockLists& lists() const { return *compound.datablocks; }
};

}  // namespace

TEST_F(CompoundLookup, NamesFindTheFirstDatablockInFileOrder) {
    EXPECT_EQ(compound.GetMaterial("metal"), lists().materials[0].get());
    EXPECT_EQ(compound.GetMaterial("dup"), lists().materials[2].get());
    EXPECT_EQ(compound.GetModel("cube"), lists().models[0].get());
    EXPECT_EQ(compound.GetNode("cam"), lists().nodes[1].get());
    EXPECT_EQ(compound.GetArmature("rig"), lists().armatures[0].get());
}

TEST_F(CompoundLookup, CamerasAreFoundByTheLatestPlacingNodeAndTakeItsCurrentPlace) {
    Node& later = *lists().nodes[2];
    later.position = {10, 20, 30};
    later.rotation = {0, 1, 0, 0};
    Camera* camera = compound.GetCamera("cam");
    ASSERT_EQ(camera, lists().cameras[0].get());
    EXPECT_FLOAT_EQ(camera->position.x, 10);
    EXPECT_FLOAT_EQ(camera->position.z, 30);
    EXPECT_FLOAT_EQ(camera->rotation.y, 1);
    EXPECT_FLOAT_EQ(camera->rotation.w, 0);
}

TEST_F(CompoundLookup, AMissingNameEndsTheProcessWithABox) {
    EXPECT_EXIT(compound.GetMaterial("Metal"), ::testing::ExitedWithCode(0), "Datablock \"Metal\" not found!");
    EXPECT_EXIT(compound.GetModel("Cube"), ::testing::ExitedWithCode(0), "Datablock \"Cube\" not found!");
    EXPECT_EXIT(compound.GetNode("ca"), ::testing::ExitedWithCode(0), "Datablock \"ca\" not found!");
    EXPECT_EXIT(compound.GetArmature("rig "), ::testing::ExitedWithCode(0), "Datablock \"rig \" not found!");
    // Cameras go by their node's name, not their own.
    EXPECT_EXIT(compound.GetCamera("lens"), ::testing::ExitedWithCode(0), "Datablock \"lens\" not found!");
    EXPECT_EXIT(compound.GetNode("x"), ::testing::ExitedWithCode(0), "\xC3\x9C" "ber Error !");
}

TEST_F(CompoundLookup, ANeverLoadedCompoundHasNoDatablocks) {
    Compound unloaded;
    EXPECT_EXIT(unloaded.GetMaterial("metal"), ::testing::ExitedWithCode(0), "Datablock \"metal\" not found!");
    EXPECT_EXIT(unloaded.GetModel("cube"), ::testing::ExitedWithCode(0), "Datablock \"cube\" not found!");
    EXPECT_EXIT(unloaded.GetNode("cam"), ::testing::ExitedWithCode(0), "Datablock \"cam\" not found!");
    EXPECT_EXIT(unloaded.GetCamera("cam"), ::testing::ExitedWithCode(0), "Datablock \"cam\" not found!");
    EXPECT_EXIT(unloaded.GetArmature("rig"), ::testing::ExitedWithCode(0), "Datablock \"rig\" not found!");
}

// A frame drawn ahead of time goes on past a missing name with a blank that
// draws nothing; the names it has are found as always.
TEST_F(CompoundLookup, InAnUnseenFrameAMissingNameGivesABlankWithoutABox) {
    MessageBoxCapture boxes;
    const UnseenFrames unseen;
    EXPECT_EQ(compound.GetModel("Cube")->subsets.size(), 0u);
    EXPECT_EQ(compound.GetNode("ca")->name, "");
    EXPECT_EQ(compound.GetArmature("rig ")->bones.size(), 0u);
    EXPECT_NE(compound.GetCamera("lens"), nullptr);
    EXPECT_EQ(compound.GetMaterial("Metal")->shaderSlot, nullptr);
    EXPECT_EQ(compound.GetMaterial("metal"), lists().materials[0].get());
    EXPECT_TRUE(boxes.boxes.empty());
}

// halcyon info on the rooster: counts, names, the vertex layout, the bounds, the
// bones and the range of the pose keys.
#include <gtest/gtest.h>

#include "gltf_tool_runs.h"

TEST(CompoundSummary, TheRoosterShowsItsLayoutBonesAndKeys) {
    const ToolRun run = RunTool("info", {std::string(DEMO_DATA_DIR) + "/models/galo.nc"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* expected :
         {"1 textures, 1 materials, 1 models, 0 cameras, 0 lights, 1 armatures, 2 nodes", "0 \"tex2d_galo_palette.png\"",
          "0 \"Galo\": diffuse (1, 1, 1, 1), flags 0x0, blend mode 1, cull mode 1, textures [0]", "layout: position0 x3 @0, normal0 x3 @12, texcoord0 x2 @24, texcoord1 x4 @32, "
                                 "texcoord2 x4 @48 (stride 64)",
          "bounding box (", "0 \"Arm.Galo\": 11 bones", "keys from 0 to 350", "bone 1 \"Body\": parent \"Hips\"",
          "0 \"galo002\": model 0 \"Galo\"", "1 \"Arm.Galo\": armature 0 \"Arm.Galo\""})
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
}

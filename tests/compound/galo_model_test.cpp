// The generated rooster: it loads, its rest pose skins every vertex to
// itself, its weights are sound and each dance phase loops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "compound_files.h"
#include "compound_fixture.h"
#include "model/armature.h"
#include "test_png.h"

namespace {

class GaloModel : public CompoundFiles {
protected:
    void SetUp() override {
        CompoundFiles::SetUp();
        ASSERT_TRUE(WriteTestPng((dir.path() / "textures" / "tex2d_galo_palette.png").string(), 1, 1, {0xFFFFFFFFu}));
    }
};

float Read(const cf::Model& model, uint32_t vertex, uint32_t offset) {
    float value;
    std::memcpy(&value, model.vertices.data() + vertex * 64 + offset, sizeof value);
    return value;
}

void ExpectIdentity(const Matrix& m, const std::string& what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(m.m[r][c], r == c ? 1.0f : 0.0f, 1e-5f) << what << " [" << r << c << "]";
}

void ExpectSamePose(Armature& armature, float a, float b) {
    armature.SetTime(a);
    const std::vector<Matrix> first = armature.skinMatrices;
    armature.SetTime(b);
    for (size_t i = 0; i < first.size(); ++i)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(first[i].m[r][c], armature.skinMatrices[i].m[r][c], 1e-5f)
                    << "bone " << i << " at " << a << " and " << b;
}

TEST_F(GaloModel, RestPoseSkinsToTheIdentity) {
    ASSERT_TRUE(Load(cf::Write(BuildGalo()), "galo.nc"));
    Armature* armature = compound.GetArmature("Arm.Galo");
    ASSERT_GE(armature->bones.size(), 10u);
    ASSERT_LE(armature->bones.size(), 32u);  // the shader's bone array
    for (float time : {0.0f, 1.0f, 60.0f, 230.0f, 350.0f}) {
        armature->SetTime(time);
        for (size_t b = 0; b < armature->bones.size(); ++b)
            ExpectIdentity(armature->skinMatrices[b], armature->bones[b].name + " at " + std::to_string(time));
    }
    // A posed key really moves the bones.
    armature->SetTime(70);
    float moved = 0;
    for (const Matrix& m : armature->skinMatrices) moved += std::fabs(m.m[3][0]) + std::fabs(m.m[3][1]) + std::fabs(m.m[3][2]);
    EXPECT_GT(moved, 0.5f);
}

TEST_F(GaloModel, PhasesLoop) {
    ASSERT_TRUE(Load(cf::Write(BuildGalo()), "galo.nc"));
    Armature& armature = *compound.GetArmature("Arm.Galo");
    EXPECT_FLOAT_EQ(armature.keys.front().time, 0);
    EXPECT_FLOAT_EQ(armature.keys.back().time, 350);
    for (size_t k = 1; k < armature.keys.size(); ++k) EXPECT_LT(armature.keys[k - 1].time, armature.keys[k].time);
    ExpectSamePose(armature, 1, 60);
    ExpectSamePose(armature, 60, 230);
    ExpectSamePose(armature, 230, 350);
}

TEST_F(GaloModel, StandsOnTheFloorWithSoundWeights) {
    const cf::File file = BuildGalo();
    ASSERT_EQ(file.models.size(), 1u);
    const cf::Model& model = file.models[0];
    ASSERT_EQ(model.elements.size(), 5u);
    EXPECT_NEAR(model.firstExtent.z, 0.0f, 0.02f);
    EXPECT_GT(model.secondExtent.z, 3.2f);
    EXPECT_LT(model.secondExtent.z, 3.8f);
    EXPECT_LT(model.firstExtent.y, -1.2f);  // the beak points to -y
    ASSERT_EQ(model.subsets.size(), 1u);
    EXPECT_EQ(model.subsets[0].material, 0u);
    const size_t bones = file.armatures.at(0).bones.size();
    for (uint32_t v = 0; v < model.vertexCount; ++v) {
        float sum = 0;
        for (uint32_t i = 0; i < 4; ++i) {
            const float bone = Read(model, v, 32 + 4 * i), weight = Read(model, v, 48 + 4 * i);
            ASSERT_GE(weight, 0.0f);
            ASSERT_EQ(bone, std::floor(bone));
            ASSERT_LT(bone, float(bones));
            sum += weight;
        }
        ASSERT_NEAR(sum, 1.0f, 1e-5f) << "vertex " << v;
        const float u = Read(model, v, 24);
        ASSERT_TRUE(u > 0 && u < 1) << "vertex " << v;
    }
    EXPECT_LT(cf::Write(file).size(), 2u << 20);
}

}  // namespace

// Bezier node tracks, armature poses and skin matrices, and which instances
// one Animate call moves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "compound/compound.h"
#include "model/armature.h"
#include "model/node.h"

namespace {

NodeKey Key(float time, float x) {
    NodeKey key;
    key.time = time;
    key.positionIn = key.position = key.positionOut = {x, 0, 0};
    return key;
}

// Keys at 0, 10, 20 with x = 0, 10, 20 and handles on the values: x(t) is a
// smooth ease between keys.
NodeTrack Track() {
    NodeTrack track;
    track.keys = {Key(0, 0), Key(10, 10), Key(20, 20)};
    return track;
}

ArmatureKey Pose(float time, const Quaternion& q) { return {time, {q}}; }

// One root bone with rest head (1, 0, 0).
Armature OneBone(std::vector<ArmatureKey> keys) {
    Armature armature;
    armature.bones.resize(1);
    armature.bones[0].restHead = {1, 0, 0};
    armature.skinMatrices.resize(1);
    armature.keys = std::move(keys);
    return armature;
}

const float kHalf = std::sqrt(0.5f);
const Quaternion kQuarterZ{0, 0, kHalf, kHalf};

}  // namespace

TEST(NodeTrackEvaluation, KeysSegmentsAndTheEnds) {
    NodeTrack track = Track();
    track.Evaluate(5);
    EXPECT_FLOAT_EQ(track.position.x, 5.0f);  // B(0,0,10,10; 0.5)
    track.Evaluate(2.5f);
    EXPECT_FLOAT_EQ(track.position.x, 10.0f * (3 * 0.0625f - 2 * 0.015625f));
    track.Evaluate(10);  // shared by both segments: the cached one, u = 1
    EXPECT_EQ(track.segment, 0u);
    EXPECT_FLOAT_EQ(track.position.x, 10.0f);
    track.Evaluate(15);
    EXPECT_EQ(track.segment, 1u);
    track.Evaluate(25);  // past the end: the last key, segment kept
    EXPECT_FLOAT_EQ(track.position.x, 20.0f);
    EXPECT_EQ(track.segment, 1u);
    track.Evaluate(0);
    EXPECT_EQ(track.segment, 0u);
    EXPECT_FLOAT_EQ(track.position.x, 0.0f);
    // Before the first key: the cached segment at u = -0.5, where the ease
    // 10 (3u^2 - 2u^3) gives 10, not the first key's 0.
    track.Evaluate(-5);
    EXPECT_FLOAT_EQ(track.position.x, 10.0f);

    // Rotations are normalised; a single key holds at every time.
    NodeTrack turning;
    turning.keys = {Key(0, 1)};
    turning.keys[0].rotation = {0, 0, 2, 0};
    turning.Evaluate(-3);
    EXPECT_FLOAT_EQ(turning.position.x, 1.0f);
    EXPECT_FLOAT_EQ(turning.rotation.z, 2.0f);  // the last key as stored
    turning.keys.push_back(Key(1, 1));
    turning.keys[1].rotation = turning.keys[1].rotationIn = turning.keys[0].rotationOut = {0, 0, 2, 0};
    turning.Evaluate(0.5f);
    EXPECT_FLOAT_EQ(turning.rotation.z, 1.0f);
}

TEST(ArmaturePose, KeysWeightsAndTheEnds) {
    Armature armature = OneBone({Pose(0, {}), Pose(10, kQuarterZ), Pose(20, {})});
    armature.SetTime(0);
    Matrix expected;
    expected.Translation(-1, 0, 0);
    EXPECT_EQ(std::memcmp(&armature.skinMatrices[0], &expected, sizeof(Matrix)), 0);

    armature.SetTime(5);  // w = 0.5: half way to the quarter turn
    EXPECT_NEAR(armature.bones[0].rotation.z, std::sin(M_PI / 8), 1e-6);
    armature.SetTime(10);  // open on the right: key 1 itself
    EXPECT_EQ(armature.currentKey, 1u);
    EXPECT_NEAR(armature.bones[0].rotation.z, kHalf, 1e-6);
    // The head (1, 0, 0) goes to the bone's offset, the origin; (2, 0, 0) turns to (0, 1, 0).
    const Matrix& skin = armature.skinMatrices[0];
    EXPECT_NEAR(2 * skin.m[0][0] + skin.m[3][0], 0.0f, 1e-6f);
    EXPECT_NEAR(2 * skin.m[0][1] + skin.m[3][1], 1.0f, 1e-6f);

    armature.SetTime(19);
    armature.SetTime(20);  // the last key's time right after the last segment: u = 1
    EXPECT_NEAR(armature.bones[0].rotation.z, 0.0f, 1e-6);
    armature.bones[0].rotation = kQuarterZ;
    armature.SetTime(30);  // later: the pose stays
    EXPECT_EQ(armature.bones[0].rotation.z, kQuarterZ.z);

    // Before the first key: the first key's pose.
    Armature late = OneBone({Pose(10, kQuarterZ), Pose(20, {})});
    late.SetTime(0);
    EXPECT_NEAR(late.bones[0].rotation.z, kHalf, 1e-6);
}

TEST(ArmaturePose, ChildrenFollowTheirParentsTail) {
    Armature armature = OneBone({Pose(0, kQuarterZ)});
    armature.bones.resize(2);
    armature.skinMatrices.resize(2);
    armature.bones[0].restHead = {0, 0, 0};
    armature.bones[0].tail = {1, 0, 0};
    armature.bones[1].parent = &armature.bones[0];
    armature.bones[1].restHead = {1, 0, 0};
    armature.keys[0].rotations.push_back({});
    armature.SetTime(0);  // one key: next is key 0 again
    // The child's head (1, 0, 0) in rest space ends at the parent's turned tail (0, 1, 0).
    const Matrix& skin = armature.skinMatrices[1];
    EXPECT_NEAR(skin.m[0][0] + skin.m[3][0], 0.0f, 1e-6f);
    EXPECT_NEAR(skin.m[0][1] + skin.m[3][1], 1.0f, 1e-6f);
}

TEST(CompoundAnimation, OneKindPerCallInMaskOrder) {
    Compound compound;
    Node modelNode, cameraNode, lightNode;
    for (Node* node : {&modelNode, &cameraNode, &lightNode}) {
        node->flags = NODE_ANIMATED;
        node->track = new NodeTrack(Track());
    }
    Model model;
    Camera camera;
    Light light;
    Armature armature = OneBone({Pose(0, {}), Pose(10, kQuarterZ)});
    compound.modelInstances.push_front({&modelNode, &model});
    compound.cameraInstances.push_front({&cameraNode, &camera});
    compound.lightInstances.push_front({&lightNode, &light});
    compound.armatureInstances.push_front({nullptr, &armature});

    compound.Animate(3, 5);  // 1 wins over 2
    EXPECT_FLOAT_EQ(modelNode.position.x, 5.0f);
    EXPECT_EQ(lightNode.position.x, 0.0f);
    compound.Animate(6, 5);  // 4 wins over 2
    EXPECT_FLOAT_EQ(camera.position.x, 5.0f);
    EXPECT_EQ(light.position.x, 0.0f);
    compound.Animate(2 | 8, 5);
    EXPECT_FLOAT_EQ(light.position.x, 5.0f);
    EXPECT_EQ(armature.bones[0].rotation.z, 0.0f);
    compound.Animate(8, 10);
    EXPECT_NEAR(armature.bones[0].rotation.z, kHalf, 1e-6);

    // Without NODE_ANIMATED a camera stays where it is.
    cameraNode.flags = 0;
    compound.Animate(4, 15);
    EXPECT_FLOAT_EQ(camera.position.x, 5.0f);
}

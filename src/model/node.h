// Placed objects of a compound and their Bezier key tracks.
#pragma once

#include <string>
#include <vector>

#include "model/matrix.h"

constexpr uint32_t NODE_HAS_PARENT = 0x01;
constexpr uint32_t NODE_MODEL = 0x02;
constexpr uint32_t NODE_EMPTY = 0x04;
constexpr uint32_t NODE_ARMATURE = 0x08;
constexpr uint32_t NODE_CAMERA = 0x10;
constexpr uint32_t NODE_LIGHT = 0x20;
constexpr uint32_t NODE_ANIMATED = 0x40;
constexpr uint32_t NODE_FIXED_MATRIX = 0x80;

struct NodeKey {
    float time = 0;
    Vec3 positionIn, position, positionOut;
    Quaternion rotationIn, rotation, rotationOut;
};

struct NodeTrack {
    std::vector<NodeKey> keys;  // ascending time; the loader accepts no fewer than 2
    Vec3 position;
    Quaternion rotation;
    size_t segment = 0;  // cached between calls

    void Evaluate(float time);
};

struct Node {
    std::string name;
    uint32_t flags = 0;
    Node* parent = nullptr;
    Vec3 position;
    Quaternion rotation;
    Vec3 scale{1, 1, 1};
    Matrix local;
    NodeTrack* track = nullptr;  // owned

    Node() = default;
    ~Node() { delete track; }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Rebuilds local as S x R x T unless NODE_FIXED_MATRIX, then multiplies it
    // into the current transform.
    void Apply();
    // Takes the track's values at time when animated and tracked.
    void Animate(float time);
};

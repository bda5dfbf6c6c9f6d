// glTF scenes made by the tests with the library's own model and writer.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "model/matrix.h"

namespace samples {

// A two-joint arm: "Root" turned a third of a right angle about x at rest,
// "Tip" one unit up it; linear rotation keys on both over two seconds.
struct Figure {
    tinygltf::Model model;
    std::vector<Vec3> positions;                  // the mesh's vertices, in its own space
    std::vector<std::array<float, 2>> weights;    // of Root and Tip per vertex
};
Figure SkinnedFigure();

// Where glTF puts a vertex of the figure at seconds.
Vec3 FigureVertexAt(const Figure& figure, size_t vertex, float seconds);

// One quad facing +z with the image as its base colour.
tinygltf::Model TexturedQuad(const std::string& imageUri, const std::string& alphaMode, bool doubleSided);

// A box, camera "Eye" at (0, 1, 5) looking along -z and a point light "Lamp"
// at (2, 3, 0): colour (1, 0.5, 0.25), as Blender writes one of 2000 W.
tinygltf::Model CameraAndLight();

// A mesh and nothing else that a compound can hold: skin, animation and targets as named.
tinygltf::Model WithSkin(size_t joints, bool jointTranslationKeys, bool morphTargets, bool eightWeights);

// Linear keys on a node's "rotation" (four values a key) or "translation"
// (three); timeBounds: the key times' accessor has its min and max, as the
// glTF specification asks (hostile files may leave them out).
void AddChannel(tinygltf::Model& m, tinygltf::Animation& animation, int node, const std::string& path,
                const std::vector<float>& times, const std::vector<float>& values, bool timeBounds = true);

}  // namespace samples

// The steps of ImportGltf and what they share.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "gltf_import.h"
#include "model/matrix.h"

// Where a node sits before any animation, in glTF space.
struct Placement {
    Vec3 translation;
    Quaternion rotation;
    Vec3 scale{1, 1, 1};
};

struct ImportContext {
    const tinygltf::Model& in;
    const ImportOptions& options;
    std::vector<std::string>* warnings;
    compound_file::File file;

    // Per glTF node, for the nodes of the scene.
    std::vector<bool> inScene;
    std::vector<int> parent;        // -1 at the top
    std::vector<Placement> local;   // its own values
    std::vector<Matrix> world;      // row vectors, glTF space
    std::vector<bool> isJoint;
    std::vector<int> skinOfMesh;    // per mesh: the skin of the first node that draws it with one, or -1
    std::vector<int> meshNodeOfSkin;  // per skin: the first node that draws a mesh with it
    std::vector<int> armatureNodeOfSkin;  // per skin: the node the joints hang from, or -1
    std::vector<float> actionStart;       // per animation: seconds on the compound's timeline where it begins
    std::vector<float> actionEnd;         // per animation: its last key time, in its own seconds
    int whiteTexture = -1;                // the texture record untextured materials show, once one needs it

    void Warn(const std::string& text) const { warnings->push_back(text); }
    std::string NodeName(int node) const;
};

Placement PlacementOf(const Matrix& m);
Matrix MatrixOf(const Placement& p);

// Names the texture records; WriteImages writes their pictures.
void ImportImages(ImportContext& c);
void WriteImages(ImportContext& c);
// Where each animation lies on the compound's single timeline.
void PlaceActions(ImportContext& c);
void ImportMaterials(ImportContext& c);
// The white picture's texture record, made on first use: an untextured
// material shows its base colour alone, not whatever was bound before it.
uint32_t WhiteTexture(ImportContext& c);
// The base colour texture's KHR_texture_transform as u' = t0 u + t1 v + t2,
// v' = t3 u + t4 v + t5, or none.
std::optional<std::array<float, 6>> BaseColourTransform(const ImportContext& c, int material);
// Model i is mesh i.
void ImportMeshes(ImportContext& c);
// Armature i is skin i.
void ImportSkins(ImportContext& c);
// The node's track in engine space from every animation, if any moves the node.
std::optional<std::vector<NodeKey>> ImportTrack(const ImportContext& c, int node);
// What every inverse bind matrix of the skin does first, when all agree
// that the joints rest where the skin binds them but the mesh's positions
// need moving (gltfpack folds its dequantization in there): the skinned
// mesh's vertices are moved by it and the bind matrices relieved of it.
// None otherwise.
std::optional<Matrix> BindPrefix(const ImportContext& c, int skin);
// The bone each joint of the skin becomes: parents before their children.
std::vector<uint32_t> BoneOfJoint(const ImportContext& c, int skin);

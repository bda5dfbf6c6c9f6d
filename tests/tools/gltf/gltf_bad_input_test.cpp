// What the glTF tools cannot take ends with a message and exit code 1, never
// a crash; what a compound cannot hold is a warning naming its node or mesh.
#include <gtest/gtest.h>

#include <filesystem>

#include "gltf_accessors.h"
#include "gltf_sample_files.h"
#include "gltf_tool_runs.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class GltfBadInput : public ::testing::Test {
protected:
    // Writes the model and imports it into out.nc.
    ToolRun Import(const tinygltf::Model& model, const std::string& file = "in.gltf") {
        WriteGltf(model, (dir.path() / file).string());
        return ImportFile(file);
    }
    ToolRun ImportFile(const std::string& file) {
        return RunTool("import", {(dir.path() / file).string(), (dir.path() / "out.nc").string(), "--textures",
                                   (dir.path() / "textures").string()});
    }

    TempDir dir;
};

bool Says(const ToolRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

}  // namespace

TEST_F(GltfBadInput, AFileWithoutMeshesIsRefusedUnlessItHoldsCamerasOrLights) {
    tinygltf::Model model = samples::CameraAndLight();
    model.meshes.clear();
    model.nodes[0].mesh = -1;
    const ToolRun lit = Import(model);
    EXPECT_EQ(lit.exitCode, 0) << lit.output;
    model.cameras.clear();
    model.lights.clear();
    model.nodes[1].camera = -1;
    model.nodes[2].extensions.clear();
    fs::remove(dir.path() / "out.nc");
    const ToolRun empty = Import(model);
    EXPECT_EQ(empty.exitCode, 1) << empty.output;
    EXPECT_TRUE(Says(empty, "error: ")) << empty.output;
    EXPECT_TRUE(Says(empty, "no meshes, cameras or lights")) << empty.output;
    EXPECT_FALSE(fs::exists(dir.path() / "out.nc"));
}

TEST_F(GltfBadInput, AMissingImageIsNamed) {
    const ToolRun run = Import(samples::TexturedQuad("nowhere.png", "OPAQUE", false));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(Says(run, "image 0 (\"nowhere.png\") is missing")) << run.output;
}

TEST_F(GltfBadInput, ThreeHundredBonesAreMoreThanAnySkinningShaderTakes) {
    const ToolRun run = Import(samples::WithSkin(300, false, false, false));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(Says(run, "skin \"Rig\" has 300 joints")) << run.output;
}

TEST_F(GltfBadInput, TruncatedOrDamagedFilesAreRefused) {
    WriteGltf(samples::SkinnedFigure().model, (dir.path() / "whole.glb").string());
    const std::string whole = FileText((dir.path() / "whole.glb").string());
    ASSERT_GT(whole.size(), 100u);
    for (size_t length : {whole.size() - 1, whole.size() / 2, size_t{30}, size_t{11}, size_t{0}}) {
        dir.Write("cut.glb", whole.substr(0, length));
        const ToolRun run = ImportFile("cut.glb");
        EXPECT_EQ(run.exitCode, 1) << length << ": " << run.output;
        EXPECT_TRUE(Says(run, "cut.glb")) << run.output;
    }
    dir.Write("junk.gltf", "{\"asset\": {\"version\": \"2.0\"}, \"meshes\": [{\"primitives\": [{\"attributes\": "
                           "{\"POSITION\": 7}}]}], \"nodes\": [{\"mesh\": 0}], \"scenes\": [{\"nodes\": [0]}]}");
    const ToolRun junk = ImportFile("junk.gltf");
    EXPECT_EQ(junk.exitCode, 1) << junk.output;
    // A count far beyond its buffer, and a joint past its skin.
    const std::string buffer = "\"buffers\": [{\"byteLength\": 12, \"uri\": "
                               "\"data:application/octet-stream;base64,AAAAAAAAAAAAAAAA\"}], "
                               "\"bufferViews\": [{\"buffer\": 0, \"byteLength\": 12}], ";
    dir.Write("huge.gltf", "{\"asset\": {\"version\": \"2.0\"}, " + buffer +
                               "\"accessors\": [{\"bufferView\": 0, \"componentType\": 5126, \"count\": 1000000000, "
                               "\"type\": \"VEC3\"}], \"meshes\": [{\"primitives\": [{\"attributes\": {\"POSITION\": 0}}]}], "
                               "\"nodes\": [{\"mesh\": 0}], \"scenes\": [{\"nodes\": [0]}]}");
    const ToolRun huge = ImportFile("huge.gltf");
    EXPECT_EQ(huge.exitCode, 1) << huge.output;
    EXPECT_TRUE(Says(huge, "does not fit its buffer")) << huge.output;
    tinygltf::Model pastSkin = samples::WithSkin(2, false, false, false);
    const uint16_t past[16] = {7, 0, 0, 0, 7, 0, 0, 0, 7, 0, 0, 0, 7, 0, 0, 0};
    pastSkin.meshes[0].primitives[0].attributes["JOINTS_0"] =
        AddAccessor(pastSkin, past, 4, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_VEC4);
    const ToolRun joint = Import(pastSkin);
    EXPECT_EQ(joint.exitCode, 1) << joint.output;
    EXPECT_TRUE(Says(joint, "refers to joint 7 of a skin of 2")) << joint.output;
    dir.Write("half.gltf", "{\"asset\": {\"version\": \"2.0\"}, \"meshes\": [");
    EXPECT_EQ(ImportFile("half.gltf").exitCode, 1);
    fs::create_directories(dir.path() / "folder.gltf");
    EXPECT_EQ(ImportFile("folder.gltf").exitCode, 1);
    EXPECT_EQ(ImportFile("absent.gltf").exitCode, 1);
}

TEST_F(GltfBadInput, DamagedCompoundsAreRefusedByExportAndInfo) {
    dir.Write("cut.nc", std::string("NCMP\x01\x00\x00\x00", 8));
    const std::string cut = (dir.path() / "cut.nc").string();
    const ToolRun exported = RunTool("export", {cut, (dir.path() / "out.gltf").string()});
    EXPECT_EQ(exported.exitCode, 1) << exported.output;
    EXPECT_TRUE(Says(exported, "cut.nc")) << exported.output;
    const ToolRun info = RunTool("info", {cut});
    EXPECT_EQ(info.exitCode, 1) << info.output;
    EXPECT_TRUE(Says(info, "header")) << info.output;
    EXPECT_EQ(RunTool("info", {(dir.path() / "absent.nc").string()}).exitCode, 1);
}

TEST_F(GltfBadInput, WhatACompoundCannotHoldIsAWarningNamingItsOwner) {
    const std::pair<tinygltf::Model, std::string> cases[] = {
        {samples::WithSkin(3, true, false, false), "warning: joint \"Bone0\" has translation keys"},
        {samples::WithSkin(0, false, true, false), "warning: mesh \"Blob\" has morph targets"},
        {samples::WithSkin(40, false, false, false),
         "warning: skin \"Rig\" (mesh \"Blob\") has 40 joints, more than the 32"},
        {samples::WithSkin(2, false, false, true), "warning: mesh \"Blob\" gives vertices more than 4 weights"},
    };
    for (const auto& [model, warning] : cases) {
        const ToolRun run = Import(model);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_TRUE(Says(run, warning)) << warning << "\n" << run.output;
    }
}

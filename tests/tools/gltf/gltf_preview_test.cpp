// A glTF scene as Blender writes it, imported in place of the bar scene and
// drawn through halcyon preview with the demo's own shader: a pane without
// normals, lit by a 1000 W point light, shows its base colour lit, neither
// black nor burnt white.
#include <gtest/gtest.h>

#include <filesystem>

#include "gltf_accessors.h"
#include "gltf_sample_files.h"
#include "gltf_tool_runs.h"
#include "reference_picture.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr float kPi = 3.14159265f;

// The data set, its folders linked, with models and textures folders of links to fill.
void LinkDataSet(const fs::path& to) {
    for (const auto& entry : fs::directory_iterator(DEMO_DATA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name != "models" && name != "textures") {
            fs::create_directory_symlink(entry.path(), to / name);
            continue;
        }
        fs::create_directories(to / name);
        for (const auto& file : fs::directory_iterator(entry.path()))
            fs::create_symlink(file.path(), to / name / file.path().filename());
    }
}

}  // namespace

TEST(GltfPreview, ABlenderLitPaneWithoutNormalsShowsItsBaseColourLit) {
    TempDir dir;
    LinkDataSet(dir.path());
    tinygltf::Model model = samples::CameraAndLight();
    // The bar scene's names: its camera and its lit material.
    model.nodes[1].name = "Bar";
    model.nodes[1].translation = {0, 0, 5};
    model.nodes[2].translation = {0, 0, 4};
    model.lights[0].color = {1, 1, 1};
    model.lights[0].intensity = 1000 * 683 / (4 * kPi);
    tinygltf::Material material;
    material.name = "LetrasBar";
    material.pbrMetallicRoughness.baseColorFactor = {1, 0.2, 0.2, 1};
    model.materials.push_back(material);
    tinygltf::Primitive& pane = model.meshes[0].primitives[0];
    pane.material = 0;
    pane.attributes["TEXCOORD_0"] = AddFloatAccessor(model, {0, 1, 1, 1, 1, 0, 0, 0}, TINYGLTF_TYPE_VEC2);
    WriteGltf(model, (dir.path() / "bar.gltf").string());
    fs::remove(dir.path() / "models/scene_1_bar.nc");
    const ToolRun imported = RunTool("import", {(dir.path() / "bar.gltf").string(),
                                                (dir.path() / "models/scene_1_bar.nc").string()});
    ASSERT_EQ(imported.exitCode, 0) << imported.output;
    const std::string png = (dir.path() / "bar.png").string();
    const ToolRun drawn = RunTool("preview", {dir.path().string(), png, "scene_1_bar.nc", "Bar", "--draw",
                                              "scene_1_bar.nc", "--lights", "scene_1_bar.nc", "--size", "160x120"});
    ASSERT_EQ(drawn.exitCode, 0) << drawn.output;
    Picture picture;
    ASSERT_TRUE(ReadPicture(png, &picture));
    // The light straight ahead of the pane's middle: 0.12 ambient + 0.55 x 0.95 falloff, times the base colour.
    const uint32_t middle = picture.pixels[picture.height / 2 * picture.width + picture.width / 2];
    EXPECT_NEAR(static_cast<int>(middle >> 16 & 0xFF), 164, 12) << std::hex << middle;
    EXPECT_NEAR(static_cast<int>(middle >> 8 & 0xFF), 33, 10) << std::hex << middle;
    EXPECT_NEAR(static_cast<int>(middle & 0xFF), 35, 10) << std::hex << middle;
}

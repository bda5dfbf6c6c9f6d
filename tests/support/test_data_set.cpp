#include "test_data_set.h"

#include <filesystem>
#include <vector>

#include "compound/compound_writer.h"
#include "test_ogg.h"
#include "test_png.h"

namespace {

// Each shader uses the uniforms the loading binds on it, so nothing warns.
constexpr const char* kPixelOnly = "#pragma HLSL_PS\nfloat4 main() : COLOR { return float4(1, 1, 1, 1); }\n#end\n";
constexpr const char* kFogged =
    "#pragma HLSL_PS\nfloat zk_ZFogValue;\nfloat4 main() : COLOR { return float4(zk_ZFogValue, 1, 1, 1); }\n#end\n";

std::string CompoundWithMaterials(const std::vector<std::string>& names) {
    compound_file::File file;
    for (const std::string& name : names) file.materials.push_back({name});
    return compound_file::Write(file);
}

// RZ1 and RZ2, and one placed triangle drawn with RZ1.
std::string CubeMapScene() {
    compound_file::File file;
    file.materials = {{"RZ1"}, {"RZ2"}};
    compound_file::Model triangle;
    triangle.name = "Triangle";
    triangle.elements = {{3, compound_file::kPosition, 0, 0}};
    triangle.vertexCount = 3;
    triangle.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    triangle.subsets = {{0, {0, 1, 2}}};
    file.models.push_back(triangle);
    compound_file::Node node;
    node.name = "Triangle";
    node.flags = NODE_MODEL;
    file.nodes.push_back(node);
    return compound_file::Write(file);
}

}  // namespace

void WriteTestDataSet(const TempDir& dir, double musicSeconds, const std::set<std::string>& leaveOut) {
    auto write = [&](const std::string& path, const std::string& bytes) {
        if (!leaveOut.count(path)) dir.Write(path, bytes);
    };
    std::filesystem::create_directories(dir.path() / "textures");
    for (const char* name : {"fnt_04b08.png", "tex2dnpt_logo_presentation.png", "tex2d_particle_halo.png",
                             "tex2d_particle_lines.png", "tex2d_backquad.png", "tex2dnpt_greetings.png",
                             "tex2dnpt_pimp.png", "tex2dnpt_screen.png"}) {
        const std::string path = std::string("textures/") + name;
        if (!leaveOut.count(path)) WriteTestPng((dir.path() / path).string(), 4, 4, std::vector<uint32_t>(16, ~0u));
    }
    for (const char* name : {"zkNLShader", "zkLSShader", "zkDLV_CubeMap", "zkBlurShader", "zkFloorShader",
                             "zkDisplayShader"})
        write(std::string("shaders/") + name + ".fx", kPixelOnly);
    write("shaders/zkLFShader.fx", kFogged);

    const std::vector<std::string> floors = {"BlueFloor", "R2"};
    write("models/scene_1_bar.nc", CompoundWithMaterials({"LetrasBar"}));
    write("models/galo.nc", CompoundWithMaterials({"Galo"}));
    write("models/scene_3_celos.nc", CompoundWithMaterials({"Celos"}));
    write("models/scene_6.nc", CompoundWithMaterials({"Brilhante"}));
    write("models/scene_7_padroes.nc", CompoundWithMaterials(floors));
    write("models/scene_4_stage.nc", CompoundWithMaterials(floors));
    write("models/scene_9_stage.nc", CompoundWithMaterials(floors));
    write("models/scene_8_placar.nc", CompoundWithMaterials({"Bolas"}));
    write("models/scene_cubemap.nc", CubeMapScene());
    for (const char* name : {"scene_2_stage.nc", "scene_5_stage.nc", "scene_creditos.nc", "scene_4_aux_lights.nc"})
        write(std::string("models/") + name, CompoundWithMaterials({}));

    const std::string music = "audio/amber-meadow_tune.ogg";
    if (!leaveOut.count(music)) {
        std::filesystem::create_directories(dir.path() / "audio");
        WriteTestOgg((dir.path() / music).string(), musicSeconds);
    }
}

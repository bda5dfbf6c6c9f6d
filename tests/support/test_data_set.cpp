#include "test_data_set.h"

#include <filesystem>
#include <vector>

#include "compound/compound_writer.h"
#include "test_ogg.h"
#include "test_png.h"

namespace {

// A pixel shader adding up the given uniforms, so each is in use.
std::string PixelShaderUsing(const std::string& declarations, const std::string& sum) {
    return "#pragma HLSL_PS\n" + declarations + "float4 main() : COLOR { return float4(1, 1, 1, 1) + " + sum +
           "; }\n#end\n";
}

// Each shader uses the uniforms the loading and the scenes bind on it, so nothing warns.
std::string TestShader(const std::string& name) {
    if (name == "zkLFShader") return PixelShaderUsing("float zk_ZFogValue;\nfloat4 u_val;\n", "zk_ZFogValue + u_val");
    if (name == "zkBlurShader") return PixelShaderUsing("float4 settings;\n", "settings");
    if (name == "zkFloorShader") return PixelShaderUsing("float alpha;\n", "alpha");
    if (name == "zkDisplayShader")
        return PixelShaderUsing("float zk_ZFogValue;\nfloat zk_ZFogDist;\nfloat greetings_x;\n",
                                "zk_ZFogValue + zk_ZFogDist + greetings_x");
    if (name == "zkLSShader")
        return "#pragma HLSL_VS\nfloat4x4 zk_ModelViewProjectionMatrix;\nfloat4x4 zk_BoneMatrix[4];\n"
               "float4 main(float3 p : POSITION) : POSITION {\n"
               "return mul(mul(float4(p, 1), zk_BoneMatrix[0]), zk_ModelViewProjectionMatrix); }\n"
               "#pragma Config\n#define POSITION 1\nVertexProfileCreate(1)\nVertexProfileSet(0,0,3,POSITION,0)\n#end\n";
    return PixelShaderUsing("", "0");
}

// What one compound of the test data set holds besides its materials.
struct Contents {
    std::vector<std::string> materials;
    std::vector<std::string> cameras;     // the last two below are animated over 0..500 and 0..630
    std::string modelFormat;              // models named by format and index i, with i + 1 faces
    int modelCount = 0;
    std::vector<std::string> modelNodes;  // nodes placing a triangle drawn with material 0
    int lights = 0;
    bool armature = false;
    std::vector<float> pathSpan;          // key times of the cameras' tracks, when animated
};

// faces copies of one triangle, so a drawing tells the models apart by its face count.
compound_file::Model Triangle(const std::string& name, uint32_t material, int faces = 1) {
    compound_file::Model triangle;
    triangle.name = name;
    triangle.elements = {{3, compound_file::kPosition, 0, 0}};
    triangle.vertexCount = 3;
    triangle.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    triangle.subsets = {{material, {}}};
    for (int i = 0; i < faces; ++i) triangle.subsets[0].indices.insert(triangle.subsets[0].indices.end(), {0, 1, 2});
    return triangle;
}

std::string CompoundBytes(const Contents& c) {
    compound_file::File file;
    for (const std::string& name : c.materials) file.materials.emplace_back().name = name;
    for (const std::string& name : c.cameras) {
        file.cameras.push_back({name, 0});
        compound_file::Node node;
        node.name = name;
        node.flags = NODE_CAMERA;
        node.position = {0, -10, 2};
        node.datablock = static_cast<uint32_t>(file.cameras.size() - 1);
        if (!c.pathSpan.empty()) {
            NodeKey first, last;
            first.time = c.pathSpan[0], last.time = c.pathSpan[1];
            first.position = first.positionIn = first.positionOut = node.position;
            last.position = last.positionIn = last.positionOut = {0, -20, 2};
            node.track = std::vector<NodeKey>{first, last};
        }
        file.nodes.push_back(node);
    }
    for (int i = 0; i < c.modelCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, c.modelFormat.c_str(), i);
        file.models.push_back(Triangle(name, 0, i + 1));
    }
    for (const std::string& name : c.modelNodes) {
        file.models.push_back(Triangle(name, 0));
        compound_file::Node node;
        node.name = name;
        node.flags = NODE_MODEL;
        node.datablock = static_cast<uint32_t>(file.models.size() - 1);
        file.nodes.push_back(node);
    }
    for (int i = 0; i < c.lights; ++i) {
        file.lights.push_back({"Lamp" + std::to_string(i), 0, 1, {1, 0.5f, 0.25f, 1}, 1});
        compound_file::Node node;
        node.name = "Lamp" + std::to_string(i);
        node.flags = NODE_LIGHT;
        node.position = {float(i), 0, 1};
        node.datablock = static_cast<uint32_t>(i);
        file.nodes.push_back(node);
    }
    if (c.armature) {
        compound_file::Armature armature{"Arm.Galo", {{"Hip", {}, {0, 0, 1}, {}, -1}, {"Neck", {}, {0, 0, 1}, {0, 0, 1}, 0}}, {}};
        for (float time : {0.0f, 350.0f}) armature.keys.push_back({time, {}});
        file.armatures.push_back(armature);
        compound_file::Node node;
        node.name = "Skeleton";
        node.flags = NODE_ARMATURE;
        file.nodes.push_back(node);
    }
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
    for (const char* name : {"zkNLShader", "zkLFShader", "zkLSShader", "zkDLV_CubeMap", "zkBlurShader", "zkFloorShader",
                             "zkDisplayShader"})
        write(std::string("shaders/") + name + ".fx", TestShader(name));

    const std::vector<std::string> floors = {"BlueFloor", "R2"};
    write("models/scene_1_bar.nc", CompoundBytes({{"LetrasBar"}, {"Bar"}, "", 0, {"Letters"}, 2}));
    write("models/galo.nc", CompoundBytes({{"Galo"}, {}, "", 0, {"galo002"}, 0, true}));
    write("models/scene_2_stage.nc", CompoundBytes({{}, {"Rim"}, "", 0, {}, 2}));
    write("models/scene_3_celos.nc", CompoundBytes({{"Celos"}, {"Celos"}, "", 0, {"Rings"}, 2}));
    write("models/scene_4_stage.nc", CompoundBytes({floors, {"ID4"}, "x%d", 12, {}, 2}));
    write("models/scene_5_stage.nc", CompoundBytes({{}, {"ID5"}, "", 0, {}, 1}));
    write("models/scene_6.nc", CompoundBytes({{"Brilhante"}, {"ID6"}, "", 0, {"Sphere"}}));
    write("models/scene_7_padroes.nc", CompoundBytes({floors, {"ID7"}, "p%d", 22}));
    write("models/scene_8_placar.nc", CompoundBytes({{"Bolas"}, {"ID8"}, "", 0, {"Board"}, 0, false, {0, 500}}));
    write("models/scene_9_stage.nc", CompoundBytes({floors, {"ID9"}, "c%d", 6, {}, 0, false, {0, 630}}));
    write("models/scene_cubemap.nc", CompoundBytes({{"RZ1", "RZ2"}, {}, "", 0, {"Triangle"}, 1}));
    write("models/scene_creditos.nc", CompoundBytes({{"Credits"}, {}, "", 0, {"Line"}}));
    write("models/scene_4_aux_lights.nc", CompoundBytes({{}, {}, "", 0, {}, 3}));

    const std::string music = "audio/amber-meadow_tune.ogg";
    if (!leaveOut.count(music)) {
        std::filesystem::create_directories(dir.path() / "audio");
        WriteTestOgg((dir.path() / music).string(), musicSeconds);
    }
}

// Draws compound files of a data directory through a camera into a PNG, with
// every asset loaded and wired as the demo does, for checking models.
// Usage: preview DATA_DIR OUT.png CAMERA_FILE CAMERA [--draw FILE]... [--lights FILE]
//        [--galo FRAME] [--camera-time T] [--model FILE NAME] [--mirror] [--size W H]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gfx2d/matrix_helpers.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "png_writer.h"
#include "runtime/demo_player.h"
#include "runtime/demo_resources.h"
#include "shader/shader_params.h"

namespace {

std::map<std::string, Compound*> CompoundsByFile(DemoResources& r) {
    return {{"galo.nc", &r.galo},           {"scene_1_bar.nc", &r.bar},         {"scene_2_stage.nc", &r.stage2},
            {"scene_3_celos.nc", &r.celos}, {"scene_4_stage.nc", &r.stage4},    {"scene_5_stage.nc", &r.stage5},
            {"scene_6.nc", &r.scene6},      {"scene_7_padroes.nc", &r.patterns}, {"scene_8_placar.nc", &r.scoreboard},
            {"scene_9_stage.nc", &r.stage9}, {"scene_cubemap.nc", &r.cubeMapScene},
            {"scene_creditos.nc", &r.credits}, {"scene_4_aux_lights.nc", &r.auxLights}};
}

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s DATA_DIR OUT.png CAMERA_FILE CAMERA [--draw FILE]... [--lights FILE] [--galo FRAME]\n"
                 "       [--camera-time T] [--model FILE NAME] [--mirror] [--size W H]\n",
                 self);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return Usage(argv[0]);
    const std::string out = argv[2][0] == '/' ? argv[2] : std::string(getcwd(nullptr, 0)) + "/" + argv[2];
    const std::string cameraFile = argv[3], cameraName = argv[4];
    std::vector<std::string> drawn, lights;
    std::string modelFile, modelName;
    float galoFrame = -1, cameraTime = -1;
    bool mirror = false;
    int width = 640, height = 480;
    for (int i = 5; i < argc; ++i) {
        const std::string option = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (option == "--draw") drawn.push_back(next());
        else if (option == "--lights") lights.push_back(next());
        else if (option == "--galo") galoFrame = std::atof(next());
        else if (option == "--camera-time") cameraTime = std::atof(next());
        else if (option == "--model") modelFile = next(), modelName = next();
        else if (option == "--mirror") mirror = true;
        else if (option == "--size") width = std::atoi(next()), height = std::atoi(next());
        else return Usage(argv[0]);
    }
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "%s: cannot enter %s\n", argv[0], argv[1]);
        return 1;
    }

    g_demoApp = new DemoApp();
    if (!g_demoApp->Startup(width, height, false, 0)) return 1;
    int status = 0;
    {
        DemoPlayer player(width, height, float(width) / float(height));
        DemoResources& r = *player.resources;
        r.Load();
        std::map<std::string, Compound*> files = CompoundsByFile(r);
        auto find = [&](const std::string& name) {
            auto found = files.find(name);
            if (found == files.end()) {
                std::fprintf(stderr, "%s: no compound file %s\n", argv[0], name.c_str());
                std::exit(2);
            }
            return found->second;
        };

        zkClear();
        g_graphics->lightList->count = 0;
        for (const std::string& file : lights) find(file)->Draw(2);
        if (galoFrame >= 0) {
            r.galo.Animate(8, galoFrame);
            Armature* armature = r.galo.GetArmature("Arm.Galo");
            zkShaderBindMatrixArray(r.lsShader.shader, "zk_BoneMatrix", static_cast<int32_t>(armature->bones.size()),
                                    armature->skinMatrices.data());
        }
        Compound* cameras = find(cameraFile);
        if (cameraTime >= 0) cameras->Animate(4, cameraTime);
        zkSet3D(float(width), float(height), 36.0f, 0.2f, 1000.0f);
        cameras->GetCamera(cameraName)->Apply();
        auto drawAll = [&] {
            for (const std::string& file : drawn) find(file)->Draw(1);
            if (!modelFile.empty()) find(modelFile)->GetModel(modelName)->Draw();
        };
        if (mirror) {
            zkPushMatrix();
            zkScale(1, 1, -1);
            drawAll();
            zkPopMatrix();
        }
        drawAll();

        UINT w = 0, h = 0;
        const std::vector<uint32_t> pixels = g_graphics->device->ReadBackBuffer(&w, &h);
        if (!WritePng(out, w, h, pixels)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], out.c_str());
            status = 1;
        }
    }
    g_demoApp->Shutdown();
    delete g_demoApp;
    return status;
}

// halcyon preview: draws compound files of a data directory through a camera
// into a PNG, with every asset loaded and wired as the demo does, for
// checking models.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "command/subcommands.h"
#include "gfx2d/matrix_helpers.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "png_writer.h"
#include "runtime/demo_player.h"
#include "runtime/demo_resources.h"
#include "shader/shader_params.h"

namespace {

struct CompoundFile {
    const char* name;
    Compound DemoResources::*compound;
};

const CompoundFile kCompoundFiles[] = {
    {"galo.nc", &DemoResources::galo},
    {"scene_1_bar.nc", &DemoResources::bar},
    {"scene_2_stage.nc", &DemoResources::stage2},
    {"scene_3_celos.nc", &DemoResources::celos},
    {"scene_4_stage.nc", &DemoResources::stage4},
    {"scene_5_stage.nc", &DemoResources::stage5},
    {"scene_6.nc", &DemoResources::scene6},
    {"scene_7_padroes.nc", &DemoResources::patterns},
    {"scene_8_placar.nc", &DemoResources::scoreboard},
    {"scene_9_stage.nc", &DemoResources::stage9},
    {"scene_cubemap.nc", &DemoResources::cubeMapScene},
    {"scene_creditos.nc", &DemoResources::credits},
    {"scene_4_aux_lights.nc", &DemoResources::auxLights},
};

const CompoundFile* FindCompoundFile(const std::string& name) {
    for (const CompoundFile& file : kCompoundFiles)
        if (name == file.name) return &file;
    return nullptr;
}

struct PreviewOptions {
    std::string dataDir, out, cameraFile, cameraName;
    std::vector<std::string> drawn, lights;
    std::vector<std::string> model;  // FILE NAME
    float galoFrame = -1, cameraTime = -1;
    bool mirror = false;
    int width = 640, height = 480;
};

void DrawPreview(DemoResources& r, const PreviewOptions& o) {
    auto find = [&r](const std::string& name) -> Compound* { return &(r.*FindCompoundFile(name)->compound); };
    zkClear();
    g_graphics->lightList->count = 0;
    for (const std::string& file : o.lights) find(file)->Draw(2);
    if (o.galoFrame >= 0) {
        r.galo.Animate(8, o.galoFrame);
        Armature* armature = r.galo.GetArmature("Arm.Galo");
        zkShaderBindMatrixArray(r.lsShader.shader, "zk_BoneMatrix", static_cast<int32_t>(armature->bones.size()),
                                armature->skinMatrices.data());
    }
    Compound* cameras = find(o.cameraFile);
    if (o.cameraTime >= 0) cameras->Animate(4, o.cameraTime);
    zkSet3D(float(o.width), float(o.height), 36.0f, 0.2f, 1000.0f);
    cameras->GetCamera(o.cameraName)->Apply();
    auto drawAll = [&] {
        for (const std::string& file : o.drawn) find(file)->Draw(1);
        if (!o.model.empty()) find(o.model[0])->GetModel(o.model[1])->Draw();
    };
    if (o.mirror) {
        zkPushMatrix();
        zkScale(1, 1, -1);
        drawAll();
        zkPopMatrix();
    }
    drawAll();
}

int Preview(const CLI::App* app, PreviewOptions options) {
    std::vector<std::string> named = options.drawn;
    named.insert(named.end(), options.lights.begin(), options.lights.end());
    named.push_back(options.cameraFile);
    if (!options.model.empty()) named.push_back(options.model[0]);
    for (const std::string& name : named)
        if (!FindCompoundFile(name)) return Fail(app, "no compound file " + name + " among the demo's");
    options.out = std::filesystem::absolute(options.out).string();
    if (chdir(options.dataDir.c_str()) != 0) return Fail(app, "cannot enter " + options.dataDir);

    g_demoApp = new DemoApp();
    if (!g_demoApp->Startup(options.width, options.height, false, 0)) return Fail(app, "no graphics device");
    int status = kExitDone;
    {
        DemoPlayer player(options.width, options.height, float(options.width) / float(options.height));
        player.resources->Load();
        DrawPreview(*player.resources, options);
        UINT w = 0, h = 0;
        const std::vector<uint32_t> pixels = g_graphics->device->ReadBackBuffer(&w, &h);
        if (!WritePng(options.out, w, h, pixels)) status = Fail(app, "cannot write " + options.out);
    }
    g_demoApp->Shutdown();
    delete g_demoApp;
    return status;
}

}  // namespace

Subcommand AddPreviewCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "preview",
                                  "Draw compound files through a camera of theirs into a PNG, loaded as the demo does",
                                  "halcyon preview build stage.png scene_4_stage.nc ID4 --draw scene_4_stage.nc "
                                  "--draw galo.nc --galo 40");
    auto options = std::make_shared<PreviewOptions>();
    AddDataDirArgument(app, &options->dataDir);
    app->add_option("OUT", options->out, "the PNG file to write")->required();
    app->add_option("CAMERA_FILE", options->cameraFile, "the compound file (such as galo.nc) that holds the camera")
        ->required();
    app->add_option("CAMERA", options->cameraName, "the camera's name in it")->required();
    app->add_option("--draw", options->drawn, "a compound file to draw, once for each")
        ->type_name("FILE")
        ->allow_extra_args(false);
    app->add_option("--lights", options->lights, "a compound file whose lights light the picture, once for each")
        ->type_name("FILE")
        ->allow_extra_args(false);
    app->add_option("--model", options->model, "one model of a compound file")->type_name("FILE NAME")->expected(2);
    app->add_option("--galo", options->galoFrame, "pose the rooster at this key frame")->type_name("FRAME");
    app->add_option("--camera-time", options->cameraTime, "move the cameras to this key time")->type_name("T");
    app->add_flag("--mirror", options->mirror, "draw the compounds mirrored in z under the picture too");
    AddSizeOption(app, &options->width, &options->height, "the picture's size (default 640x480)");
    return {app, [app, options] { return Preview(app, *options); }};
}

#include "scene_fixture.h"

#include <map>

#include "backend/recording_resources.h"
#include "platform/graphics_context.h"
#include "shader/shader.h"
#include "test_data_set.h"

void SceneShell::SetUp() {
    RecordingShell::SetUp();
    clock.stepPerRead = FakeClock::kFrequency / 60;
    WriteTestDataSet(data);
    inData = std::make_unique<WorkingDirectory>(data.path());
    player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
    r = player->resources;
    r->Load();
    ASSERT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
}

void SceneShell::TearDown() {
    player.reset();
    inData.reset();
    RecordingShell::TearDown();
}

namespace {

std::string Inside(const std::string& call) {
    const size_t open = call.find('('), close = call.rfind(')');
    return call.substr(open + 1, close - open - 1);
}

std::string Argument(const std::string& call, int index) {
    std::string rest = Inside(call);
    for (int i = 0; i < index; ++i) rest = rest.substr(rest.find(", ") + 2);
    return rest.substr(0, rest.find(", "));
}

}  // namespace

std::vector<std::string> SceneShell::Trace(DemoScene_Scene& scene, float time) {
    std::map<std::string, std::string> names;
    IDirect3DSurface9* back = nullptr;
    g_graphics->device->GetRenderTarget(0, &back);
    names[ResourceName(back)] = "back";
    back->Release();
    const std::pair<NamedTexture*, const char*> known[] = {
        {&r->target1, "t1"}, {&r->target2, "t2"}, {&r->target3, "t3"},     {&r->target4, "t4"},
        {&r->target5, "t5"}, {&r->target6, "t6"}, {&r->haloTexture, "halo"}, {&r->lineTexture, "lines"},
        {&r->backQuad, "backquad"}, {&r->pimp, "pimp"}};
    for (const auto& [texture, name] : known) {
        if (!texture->texture) continue;
        if (texture->texture->texture) names[ResourceName(texture->texture->texture)] = name;
        if (texture->texture->surface) names[ResourceName(texture->texture->surface)] = name;
    }
    const std::string blur = ResourceName(r->blurShader.shader->pixelShader);

    log.clear();
    scene.Render(r, time);
    std::vector<std::string> trace, pendingSettings;
    for (const std::string& call : log.calls) {
        auto named = [&](const std::string& resource) {
            auto found = names.find(resource);
            return found != names.end() ? found->second : resource;
        };
        if (call.rfind("SetRenderTarget(0, ", 0) == 0) {
            trace.push_back("target " + named(Argument(call, 1)));
        } else if (call.rfind("SetTexture(0, ", 0) == 0) {
            trace.push_back("texture " + named(Argument(call, 1)));
        } else if (call.rfind("SetSamplerState(0, D3DSAMP_ADDRESS", 0) == 0) {
            trace.push_back(Argument(call, 1).substr(8) + " " + Argument(call, 2));
        } else if (call.rfind("SetRenderState(D3DRS_SRCBLEND", 0) == 0 ||
                   call.rfind("SetRenderState(D3DRS_DESTBLEND", 0) == 0) {
            trace.push_back(Argument(call, 0).substr(6) + " " + Argument(call, 1));
        } else if (call.rfind("SetPixelShaderConstantF(0, ", 0) == 0) {
            pendingSettings.push_back(Inside(call).substr(4, Inside(call).find(']') - 4));
        } else if (call.rfind("SetPixelShader(", 0) == 0) {
            if (Argument(call, 0) == blur)
                for (const std::string& values : pendingSettings) trace.push_back("settings " + values);
            pendingSettings.clear();
        } else if (call.rfind("DrawIndexedPrimitive(", 0) == 0) {
            trace.push_back("mesh " + Argument(call, 5));
        } else if (call.rfind("DrawPrimitiveUP(", 0) == 0) {
            trace.push_back(Argument(call, 0) == "D3DPT_POINTLIST" ? "sprite" : "quad");
        }
    }
    return trace;
}

std::vector<std::string> SceneShell::Only(const std::vector<std::string>& trace, const std::string& prefix) {
    std::vector<std::string> kept;
    for (const std::string& entry : trace)
        if (entry.rfind(prefix, 0) == 0) kept.push_back(entry);
    return kept;
}

#include "scenes/scene_compound.h"

#include <algorithm>
#include <cmath>

#include "backend/win32.h"
#include "platform/graphics_context.h"
#include "platform/unseen_frames.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"
#include "scenes/scene_passes.h"
#include "shader/shader_params.h"

namespace {

constexpr float kKeysPerSecond = 25.0f;
constexpr int kMostBloomIterations = 16;

// Script numbers that are not finite read as 0, so no track is asked for a key at NaN.
float FiniteField(const std::string& line, int index) {
    const float value = ScriptFloat(ScriptField(line, index));
    return std::isfinite(value) ? value : 0.0f;
}

}  // namespace

void Scene_Compound::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    if (name == "file") file = ScriptField(line, 1);
    if (name == "camera") cameraName = ScriptField(line, 1);
    if (name == "speed") speed = FiniteField(line, 1);
    if (name == "startkey") startKey = FiniteField(line, 1);
    if (name == "loop") loopFirst = FiniteField(line, 1), loopLast = FiniteField(line, 2);
    if (name == "shader") shaders.emplace_back(ScriptField(line, 1), ScriptField(line, 2));
    if (name == "bloom") bloom = std::clamp(ScriptInt(ScriptField(line, 1)), 0, kMostBloomIterations);
    if (name == "clear") {
        clear = true;
        for (int i = 0; i < 3; ++i) clearColour[i] = std::clamp(FiniteField(line, i + 1), 0.0f, 1.0f);
    }
    if (name == "fog") fog = true, fogValue = FiniteField(line, 1);
    if (name == "halo") {
        const bool sized = !ScriptField(line, 2).empty();
        halos.emplace_back(ScriptField(line, 1), sized ? std::clamp(FiniteField(line, 2), 0.0f, 1024.0f) : 10.0f);
    }
}

float Scene_Compound::KeyAt(float time) const {
    const float key = startKey + (time - start) / 1000.0f * kKeysPerSecond * speed;
    if (loopLast <= loopFirst || key < loopFirst) return key;
    return loopFirst + std::fmod(key - loopFirst, loopLast - loopFirst);
}

// A miss ends the demo as the engine's own lookups do, when the scene is
// first shown; a frame drawn ahead of time only leaves it for that frame.
// Where the project plays on (the live player), the scene draws nothing.
void Scene_Compound::Fail(const std::string& name) {
    if (UnseenFrames::Drawing()) return;
    ShowDatablockNotFound(name);
    if (resources_->project.missingEndsTheDemo) ExitProcess(0);
    failed_ = true;
}

bool Scene_Compound::Resolve() {
    if (resolved_ || failed_) return resolved_;
    haloInstances_.clear();  // an unseen frame may have resolved part of them
    compound_ = resources_->project.CompoundOf(file);
    if (!compound_ || !compound_->datablocks) {
        Fail(file);
        return false;
    }
    // The instance lists run from the last placement in the file to the first.
    for (const CameraInstance& instance : compound_->cameraInstances)
        if (cameraName.empty() || instance.node->name == cameraName) camera_ = instance;
    if (!camera_.camera) {
        Fail(cameraName.empty() ? file + " camera" : cameraName);
        return false;
    }
    for (const auto& halo : halos) {
        const std::string& light = halo.first;  // a name the lambda can take (clang 14: no bindings)
        auto found = std::find_if(compound_->lightInstances.begin(), compound_->lightInstances.end(),
                                  [&](const LightInstance& instance) { return instance.node->name == light; });
        if (found == compound_->lightInstances.end()) {
            Fail(light);
            return false;
        }
        haloInstances_.push_back(*found);
    }
    for (const auto& use : shaders) {
        const std::string &material = use.first, &shader = use.second;
        const bool known = material == "*" || std::any_of(compound_->datablocks->materials.begin(),
                                                          compound_->datablocks->materials.end(),
                                                          [&](const auto& m) { return m->name == material; });
        if (!known || !resources_->project.ShaderOf(shader)) {
            Fail(known ? shader : material);
            return false;
        }
    }
    resolved_ = true;
    return true;
}

// Two scenes may draw one compound with different shaders: each sets its own
// before it draws.
void Scene_Compound::PrepareMaterials() {
    for (const auto& [material, shaderName] : shaders) {
        ShaderSlot* slot = resources_->project.ShaderOf(shaderName);
        for (const auto& m : compound_->datablocks->materials)
            if (material == "*" || m->name == material) m->AttachShader(&slot->shader);
        if (fog) zkShaderBind1f(slot->shader, "zk_ZFogValue", fogValue);
        for (const ArmatureInstance& instance : compound_->armatureInstances)
            zkShaderBindMatrixArray(slot->shader, "zk_BoneMatrix",
                                    static_cast<int32_t>(instance.armature->skinMatrices.size()),
                                    instance.armature->skinMatrices.data());
    }
}

void Scene_Compound::DrawWorld(bool final) {
    if (clear && final) zkClear();
    g_graphics->lightList->count = 0;
    compound_->Draw(2);
    SetSceneProjection(resources_);
    camera_.camera->position = camera_.node->position;
    camera_.camera->rotation = camera_.node->rotation;
    camera_.camera->Apply();
    g_graphics->device->SetRenderState(D3DRS_ZENABLE, TRUE);
    // Materials without pictures must not show whatever was bound last.
    g_graphics->device->SetTexture(0, nullptr);
    compound_->Draw(1);
    HaloSprites& sprites = resources_->haloSprites;
    sprites.useLightColour = true;
    sprites.occlusionTest = false;
    sprites.spriteTexture = &resources_->haloTexture;
    for (size_t i = 0; i < haloInstances_.size(); ++i) {
        haloLight_.lightInstances = {haloInstances_[i]};
        sprites.size = halos[i].second;
        sprites.Draw(haloLight_);
    }
}

void Scene_Compound::Render(DemoResources*, float time) {
    if (!Resolve()) return;
    const float key = KeyAt(time);
    // Nodes, cameras, lights, armatures: one kind per call.
    for (int kind : {1, 4, 2, 8}) compound_->Animate(kind, key);
    PrepareMaterials();
    float* colour = g_graphics->clearColour;
    const float saved[3] = {colour[0], colour[1], colour[2]};
    if (clear) std::copy(clearColour, clearColour + 3, colour);
    if (bloom > 0)
        RenderWithBloom(resources_, {bloom, true}, [this](bool final) { DrawWorld(final); });
    else
        DrawWorld(true);
    std::copy(saved, saved + 3, colour);
}

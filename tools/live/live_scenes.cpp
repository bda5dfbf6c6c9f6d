#include "live_scenes.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "fixed_clock_run.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "runtime/scene_factory.h"

const SceneKeyword* KeywordOf(const DemoScene_Scene& scene) {
    return FindSceneClass(SceneClassName(typeid(scene)));
}

const DemoScene_Scene* SceneUnder(const DemoPlayer& player, float time) {
    const DemoScene_Scene* fade = nullptr;
    for (const DemoScene_Scene* scene : player.timeline) {
        if (!scene->IsActiveAt(time)) continue;
        const SceneKeyword* keyword = KeywordOf(*scene);
        if (keyword && keyword->fade) {
            if (!fade) fade = scene;
            continue;
        }
        return scene;
    }
    return fade;
}

std::vector<float> SceneStarts(const DemoPlayer& player) {
    std::vector<float> starts;
    for (const DemoScene_Scene* scene : player.timeline)
        if (std::isfinite(scene->start)) starts.push_back(scene->start);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

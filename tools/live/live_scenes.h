// What the live player asks of the timeline: which script keyword made an
// entry, which scene the playhead is in, where scenes start.
#pragma once

#include <vector>

class DemoPlayer;
class DemoScene_Scene;
struct SceneKeyword;

// The keyword entry that creates the scene's class; null for none.
const SceneKeyword* KeywordOf(const DemoScene_Scene& scene);
// The first scene in script order whose span holds time, fades passed over
// unless nothing else holds it; null for none.
const DemoScene_Scene* SceneUnder(const DemoPlayer& player, float time);
// Every finite scene start, ascending, each once.
std::vector<float> SceneStarts(const DemoPlayer& player);

// The demo object: the timeline of scenes, the demo clock and the frame loop.
#pragma once

#include <cstdio>
#include <list>
#include <string>

#include "runtime/demo_resources.h"

class DemoScene_Scene;

// What the music lines of a script set.
struct ScriptMusic {
    int position = 0;  // ms
    float volume = 0.0f;
};

class DemoPlayer {
public:
    DemoPlayer(int width, int height, float aspect);
    ~DemoPlayer();
    DemoPlayer(const DemoPlayer&) = delete;
    DemoPlayer& operator=(const DemoPlayer&) = delete;

    // Loads every asset, reads "scripts//" + name into the timeline and starts the music.
    void LoadScript(const std::string& name);
    // Reads script lines from file into the timeline; the music lines set
    // *music. Text after the last line feed is dropped.
    void ReadScript(std::FILE* file, ScriptMusic* music);
    // One frame; false when the demo is over.
    bool Frame();
    // Clears and draws every scene whose span holds the demo time, in timeline order.
    void DrawScenes();
    // The first frame after each timeline entry starts, drawn through the
    // device's warm-up (nothing shows): no scene start then waits on the
    // driver building programs. The demo time, the graphics context's state
    // and every shader's bound values stay as they were; the frames are
    // unseen, so a missing name or unused uniform they meet shows nothing and
    // is met again by the first frame that is shown.
    void WarmUpSceneStarts();
    // For tools that play the data while it is edited; the demo never calls
    // these. Every scene destroyed, the timeline empty.
    void DestroyScenes();
    // The scenes destroyed and "scripts//" + name read again into the
    // timeline with the loaded assets; false, with the timeline empty and
    // *music untouched, when the file does not open.
    bool RebuildTimeline(const std::string& name, ScriptMusic* music);

    float errorAverage = 0.0f;
    float demoTime = 0.0f;
    DemoResources* resources;
    std::list<DemoScene_Scene*> timeline;

private:
    void HandleScriptLine(const std::string& line, DemoScene_Scene** currentScene, ScriptMusic* music);
};

// The demo object: the timeline of scenes, the demo clock and the frame loop.
#pragma once

#include <cstdio>
#include <list>
#include <string>

#include "runtime/demo_resources.h"

class DemoScene_Scene;

class DemoPlayer {
public:
    DemoPlayer(int width, int height, float aspect);
    ~DemoPlayer();
    DemoPlayer(const DemoPlayer&) = delete;
    DemoPlayer& operator=(const DemoPlayer&) = delete;

    // Loads every asset, reads "scripts//" + name into the timeline and starts the music.
    void LoadScript(const std::string& name);
    // Reads script lines from file into the timeline; the music lines set
    // *musicPosition and *musicVolume. Text after the last line feed is dropped.
    void ReadScript(std::FILE* file, int* musicPosition, float* musicVolume);
    // One frame; false when the demo is over.
    bool Frame();

    float errorAverage = 0.0f;
    float demoTime = 0.0f;
    DemoResources* resources;
    std::list<DemoScene_Scene*> timeline;

private:
    void HandleScriptLine(const std::string& line, DemoScene_Scene** currentScene, int* musicPosition,
                          float* musicVolume);
};

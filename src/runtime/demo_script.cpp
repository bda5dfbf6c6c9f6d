// Reading the demo script into the timeline.
#include <cstdio>

#include "backend/file_open.h"
#include "backend/win32.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "runtime/project_files.h"
#include "runtime/scene_factory.h"
#include "runtime/script_line.h"

void DemoPlayer::LoadScript(const std::string& name) {
    ShowCursor(FALSE);
    FILE* file = OpenDataFile("scripts//" + name, "r");
    if (!file) {
        MessageBoxA(nullptr, "The lolcats fucked demo script, damn !", "Error!", MB_OK);
        return;
    }
    resources->project.files = ScanProjectFiles(file);
    std::rewind(file);
    resources->Load();
    ScriptMusic music;
    ReadScript(file, &music);
    std::fclose(file);
    WarmUpSceneStarts();

    errorAverage = 0.0f;
    float progress = 0.9f;  // the logo fades out
    while (resources->LoadingStep(&progress, 1.0f)) {
    }
    demoTime = static_cast<float>(music.position);
    MusicTrack& track = resources->music;
    if (track.stream) {
        track.stream->setVolume(music.volume);
        track.stream->setPosition(StartFrame(music.position, track.device.sampleRate));
        track.stream->play();
    }
}

bool DemoPlayer::RebuildTimeline(const std::string& name, ScriptMusic* music) {
    DestroyScenes();
    FILE* file = OpenDataFile("scripts//" + name, "r");
    if (!file) return false;
    ScriptMusic read;
    ReadScript(file, &read);
    std::fclose(file);
    *music = read;
    return true;
}

void DemoPlayer::ReadScript(FILE* file, ScriptMusic* music) {
    std::string line;
    DemoScene_Scene* currentScene = nullptr;
    // Text after the last line feed is never handled.
    for (int byte; (byte = std::fgetc(file)) != EOF;) {
        if (byte != '\n') {
            line += static_cast<char>(byte);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();  // text mode drops CR before LF
        if (!line.empty()) HandleScriptLine(line, &currentScene, music);
        line.clear();
    }
}

void DemoPlayer::HandleScriptLine(const std::string& line, DemoScene_Scene** currentScene, ScriptMusic* music) {
    switch (line[0]) {
        case '.':
            *currentScene = CreateSceneForLine(line, resources);
            if (*currentScene)
                timeline.push_back(*currentScene);
            else
                std::fprintf(stderr, "demo script: unknown scene \"%s\" ignored\n", line.c_str());
            break;
        case '-':
            if (*currentScene) (*currentScene)->SetParameter(line);
            break;
        case '!':
            if (MatchesKeyword(line, "MusicPos"))
                music->position = ScriptInt(ScriptField(line, 1));
            else if (MatchesKeyword(line, "MusicVol"))
                music->volume = ScriptFloat(ScriptField(line, 1));
            break;
        default:
            break;
    }
}

// Reading the demo script into the timeline.
#include <cstdio>

#include "backend/file_open.h"
#include "backend/win32.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "runtime/scene_factory.h"
#include "runtime/script_line.h"

void DemoPlayer::LoadScript(const std::string& name) {
    ShowCursor(FALSE);
    FILE* file = OpenDataFile("scripts//" + name, "r");
    if (!file) {
        MessageBoxA(nullptr, "The lolcats fucked demo script, damn !", "Error!", MB_OK);
        return;
    }
    resources->Load();

    int musicPosition = 0;
    float musicVolume = 0.0f;
    ReadScript(file, &musicPosition, &musicVolume);
    std::fclose(file);

    errorAverage = 0.0f;
    float progress = 0.9f;  // the logo fades out
    while (resources->LoadingStep(&progress, 1.0f)) {
    }
    demoTime = static_cast<float>(musicPosition);
    MusicTrack& music = resources->music;
    if (music.stream) {
        music.stream->setVolume(musicVolume);
        music.stream->setPosition(StartFrame(musicPosition, music.device.sampleRate));
        music.stream->play();
    }
}

void DemoPlayer::ReadScript(std::FILE* file, int* musicPosition, float* musicVolume) {
    std::string line;
    DemoScene_Scene* currentScene = nullptr;
    for (int byte; (byte = std::fgetc(file)) != EOF;) {
        if (byte != '\n') {
            line += static_cast<char>(byte);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();  // text mode drops CR before LF
        if (!line.empty()) HandleScriptLine(line, &currentScene, musicPosition, musicVolume);
        line.clear();
    }
}

void DemoPlayer::HandleScriptLine(const std::string& line, DemoScene_Scene** currentScene, int* musicPosition,
                                  float* musicVolume) {
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
                *musicPosition = ScriptInt(ScriptField(line, 1));
            else if (MatchesKeyword(line, "MusicVol"))
                *musicVolume = ScriptFloat(ScriptField(line, 1));
            break;
        default:
            break;
    }
}

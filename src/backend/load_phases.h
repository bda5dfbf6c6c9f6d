// Where the load time goes: seconds summed per phase while the clock runs.
// A LoadPhaseTimer scope credits its phase; an inner scope of another phase
// pauses the outer one, so each second lands in exactly one phase. While the
// clock is stopped (the default) a scope reads no clock at all.
#pragma once

enum class LoadPhase {
    Decode,         // picture files read into textures
    MipChains,      // the smaller levels of mipmapped textures
    Compounds,      // compound files, less their pictures
    ShaderCompile,  // HLSL compiled
    CubePreRender,  // the environment cube map drawn
    ProgramWarmUp,  // every scene's first frame drawn unseen, so the driver builds its programs
    LogoFade,       // the loading screen's fade steps
    Count
};

// Zeroes every phase and starts counting.
void StartLoadPhaseClock();
void StopLoadPhaseClock();
double LoadPhaseSeconds(LoadPhase phase);
// Its name in the benchmark's table ("mip chains").
const char* LoadPhaseName(LoadPhase phase);

class LoadPhaseTimer {
public:
    explicit LoadPhaseTimer(LoadPhase phase);
    ~LoadPhaseTimer();
    LoadPhaseTimer(const LoadPhaseTimer&) = delete;
    LoadPhaseTimer& operator=(const LoadPhaseTimer&) = delete;

private:
    bool counting_;
    int outer_;  // the phase this scope paused, -1 for none
};

// Where the live player plays: the playhead is the demo clock of the
// player, and the music follows every move of it (seek, pause, step).
#pragma once

class DemoPlayer;
class DemoScene_Scene;

class LiveTransport {
public:
    explicit LiveTransport(DemoPlayer* player) : player_(player) {}

    // One frame: while playing the clock moves by frameMs, keeps to the
    // music as the demo does, wraps at the end of the loop and stops at the
    // end of the music.
    void Advance(float frameMs);
    // Clamped to the music; the music seeks with it.
    void Seek(float ms);
    void TogglePause();
    // Paused only: one frame further, the music with it.
    void StepFrame(float frameMs);
    // Loops the span of the scene under the playhead; again: off.
    void ToggleLoop();
    // To the previous (direction < 0) or next scene start of the script.
    void JumpScene(int direction);
    // After the music was opened again: at the playhead, playing unless paused.
    void FollowMusic();

    float playhead() const;
    bool paused() const { return paused_; }
    bool looping() const { return looping_; }
    float loopStart() const { return loopStart_; }
    float loopEnd() const { return loopEnd_; }
    // The music's length in ms; 0 without music.
    float lengthMs() const;

private:
    void PutMusicAtPlayhead();

    DemoPlayer* player_;
    bool paused_ = false;
    bool looping_ = false;
    float loopStart_ = 0.0f, loopEnd_ = 0.0f;
};

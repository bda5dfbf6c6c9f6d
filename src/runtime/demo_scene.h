// Base of every timeline entry: a time span, a draw call and a parameter reader.
#pragma once

#include <limits>
#include <string>

struct DemoResources;

class DemoScene_Scene {
public:
    virtual void Render(DemoResources* resources, float time);
    // line: the whole script line, the leading '-' included.
    virtual void SetParameter(std::string line);
    virtual ~DemoScene_Scene() = default;

    bool IsActiveAt(float time) const { return start < time && time <= end; }
    // How far time lies through the span: 0 at start, 1 at end.
    float ProgressAt(float time) const { return (time - start) / (end - start); }

    // A scene that never reads a "time" line is never drawn.
    float start = std::numeric_limits<float>::infinity();
    float end = -std::numeric_limits<float>::infinity();

protected:
    // Applies a "time" line; false for every other name.
    bool SetTime(const std::string& name, const std::string& line);
};

// Scenes whose only parameter is "time".
class TimedScene : public DemoScene_Scene {
public:
    void SetParameter(std::string line) override;
};

// Scenes that also take a "value" (a float).
class ValueScene : public TimedScene {
public:
    void SetParameter(std::string line) override;

    float value = 0.0f;
};

#include "scenes/scene_8.h"

#include "runtime/script_line.h"

Scene_8::Scene_8(DemoResources*) {}

void Scene_8::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    if (name == "still") {
        if (ScriptInt(ScriptField(line, 1)) == 1) still = true;  // any other value leaves it as it was
    } else if (name == "position") {
        position = ScriptFloat(ScriptField(line, 1));
    }
}

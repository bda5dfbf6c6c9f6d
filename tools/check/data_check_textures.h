// Pictures: each one named by the loading or the configuration screen, and
// each one a compound refers to, must exist and decode.
#pragma once

#include <set>
#include <string>

#include "data_check_findings.h"

class TextureCheck {
public:
    explicit TextureCheck(Findings* findings) : findings_(findings) {}

    // Loads the pictures named in code, as the loading does, on the current device.
    void CheckNamedInCode(BoxCollector* boxes);
    // A picture some loader already tried to load; each name is reported once.
    void Report(const std::string& name, bool loaded, const std::string& referrer);

private:
    Findings* findings_;
    std::set<std::string> reported_;
};

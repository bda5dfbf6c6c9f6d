// A point light of a compound, entered into the graphics context's light list.
#pragma once

#include <string>

#include "model/matrix.h"

struct Light {
    float colour[4] = {};
    float colourW = 0;
    float positionW = 0;
    Vec3 position;  // from the placing node
    uint32_t kind = 0;
    std::string name;

    void Collect() const;
};

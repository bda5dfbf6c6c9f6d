#include "stage_lights.h"

#include "placement.h"

namespace stage {

void AddLight(compound_file::File& file, const std::string& name, std::array<float, 3> rgb, float colourW,
              Vec3 position) {
    compound_file::Light light;
    light.name = name;
    light.kind = 0;
    light.colourW = colourW;
    light.colour = {rgb[0], rgb[1], rgb[2], 1};
    light.positionW = 1;
    file.lights.push_back(light);
    file.nodes.push_back(placement::LightNode(name, static_cast<uint32_t>(file.lights.size() - 1), position));
}

void AddCamera(compound_file::File& file, const std::string& name, Vec3 eye, Vec3 target) {
    file.cameras.push_back({name, 0});
    file.nodes.push_back(placement::CameraNode(name, static_cast<uint32_t>(file.cameras.size() - 1), eye, target));
}

}  // namespace stage

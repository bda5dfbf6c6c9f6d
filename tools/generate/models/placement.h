// Nodes for the compound generators: models, lights, cameras looking at a
// point, and camera paths through a list of points.
#pragma once

#include <string>
#include <vector>

#include "compound/compound_writer.h"

namespace placement {

// The world is z-up; a camera looks along its own -z with +y up.
Quaternion LookRotation(Vec3 eye, Vec3 target);

compound_file::Node ModelNode(const std::string& name, uint32_t model, Vec3 position = {}, Quaternion rotation = {},
                              Vec3 scale = {1, 1, 1});
compound_file::Node LightNode(const std::string& name, uint32_t light, Vec3 position);
compound_file::Node CameraNode(const std::string& name, uint32_t camera, Vec3 eye, Vec3 target);

struct PathPoint {
    float time;
    Vec3 eye;
    Vec3 target;
};
// An animated camera moving smoothly through the points (Catmull-Rom handles).
compound_file::Node CameraPath(const std::string& name, uint32_t camera, const std::vector<PathPoint>& points);

}  // namespace placement

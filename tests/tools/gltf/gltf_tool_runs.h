// The glTF tools run as processes, sample glTF files written with the
// library's own writer, compounds read back as the engine loads them, and
// vectors compared component by component.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include "child_process.h"
#include "compound/compound_writer.h"
#include "model/matrix.h"

// output holds stdout and stderr together.
using ToolRun = CommandRun;

// The maker's command with the subcommand; arguments are quoted one by one after it.
ToolRun RunTool(const std::string& subcommand, const std::vector<std::string>& arguments);

// .glb by the extension, else .gltf with its .bin beside it.
void WriteGltf(const tinygltf::Model& model, const std::string& path);

// Fails the test (and returns an empty file) when the engine does not load it.
compound_file::File ReadBack(const std::string& path);

// Each component of a within tolerance of b's.
void ExpectNear(Vec3 a, Vec3 b, const std::string& what, float tolerance = 1e-4f);
void ExpectNear(const Quaternion& a, const Quaternion& b, const std::string& what, float tolerance = 1e-4f);

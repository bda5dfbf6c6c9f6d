#include "gltf_tool_runs.h"

#include <cstdio>
#include <cstdlib>

#include "compound_reading.h"

ToolRun RunTool(const std::string& subcommand, const std::vector<std::string>& arguments) {
    std::string command = "'" HALCYON "' " + subcommand;
    for (const std::string& a : arguments) command += " '" + a + "'";
    command += " 2>&1";
    const ToolRun run = RunCommand(command);
    // A sanitizer report exits with 1 as well: only its text tells it from a refusal.
    EXPECT_EQ(run.output.find("Sanitizer"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("runtime error:"), std::string::npos) << run.output;
    return run;
}

void WriteGltf(const tinygltf::Model& model, const std::string& path) {
    const bool binary = path.size() > 4 && path.compare(path.size() - 4, 4, ".glb") == 0;
    tinygltf::TinyGLTF writer;
    writer.SetImageWriter(nullptr, nullptr);  // images are the test's own files
    ASSERT_TRUE(writer.WriteGltfSceneToFile(&model, path, false, binary, true, binary)) << path;
}

compound_file::File ReadBack(const std::string& path) {
    compound_file::File file;
    std::string error;
    EXPECT_TRUE(ReadCompound(path, &file, &error)) << path << ": " << error;
    return file;
}

void ExpectNear(Vec3 a, Vec3 b, const std::string& what, float tolerance) {
    ExpectNear(Quaternion{a.x, a.y, a.z, 0}, Quaternion{b.x, b.y, b.z, 0}, what, tolerance);
}

void ExpectNear(const Quaternion& a, const Quaternion& b, const std::string& what, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
    EXPECT_NEAR(a.w, b.w, tolerance) << what;
}

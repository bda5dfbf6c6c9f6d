#include "gltf_tool_runs.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "compound_reading.h"

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments) {
    std::string command = "'" + program + "'";
    for (const std::string& a : arguments) command += " '" + a + "'";
    command += " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "popen failed"};
    std::string output;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = pclose(pipe);
    // A sanitizer report exits with 1 as well: only its text tells it from a refusal.
    EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
    EXPECT_EQ(output.find("runtime error:"), std::string::npos) << output;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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

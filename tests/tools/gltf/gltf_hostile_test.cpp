// Hostile glTF files and compounds: every one ends with exit code 1 and one
// line that says why, reads nothing outside the glTF's folder and writes
// nothing outside the folders it was given, and none takes long.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

#include "gltf_accessors.h"
#include "gltf_sample_files.h"
#include "gltf_tool_runs.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

namespace fs = std::filesystem;

std::string Base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) group = group << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0);
        for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[group >> (18 - 6 * k) & 63] : '=';
    }
    return out;
}

const std::string kTriangle = [] {
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    return std::string(reinterpret_cast<const char*>(positions), sizeof positions);
}();

// One triangle from the buffer at bufferUri; imageUri, when given, names an image.
std::string TriangleGltf(const std::string& bufferUri, const std::string& imageUri = "") {
    return "{\"asset\": {\"version\": \"2.0\"}, \"buffers\": [{\"byteLength\": 36, \"uri\": \"" + bufferUri +
           "\"}], \"bufferViews\": [{\"buffer\": 0, \"byteLength\": 36}], \"accessors\": [{\"bufferView\": 0, "
           "\"componentType\": 5126, \"count\": 3, \"type\": \"VEC3\"}], \"meshes\": [{\"name\": \"Tri\", "
           "\"primitives\": [{\"attributes\": {\"POSITION\": 0}}]}], \"nodes\": [{\"mesh\": 0}], \"scenes\": "
           "[{\"nodes\": [0]}]" +
           (imageUri.empty() ? "" : ", \"images\": [{\"uri\": \"" + imageUri + "\"}]") + "}";
}

std::string DataUri(const std::string& bytes) { return "data:application/octet-stream;base64," + Base64(bytes); }

bool Says(const ToolRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

size_t Lines(const std::string& text) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

class GltfHostile : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("outside/secret.bin", kTriangle);
        dir.Write("outside/secret.png", std::string("\x89PNG\r\n\x1a\n", 8));
        dir.Write("in/tri.bin", kTriangle);
    }

    // Imports in/NAME: refused with one line naming why, nothing written.
    void ExpectRefused(const std::string& name, const std::string& reason, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments = {(dir.path() / "in" / name).string(), (dir.path() / "in/out.nc").string(),
                                              "--textures", (dir.path() / "textures").string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const auto start = std::chrono::steady_clock::now();
        const ToolRun run = RunTool("import", arguments);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.exitCode, 1) << name << ": " << run.output;
        EXPECT_TRUE(Says(run, reason)) << name << ": wanted \"" << reason << "\" in\n" << run.output;
        EXPECT_EQ(Lines(run.output), 1u) << name << ": " << run.output;
        EXPECT_LT(seconds, 20) << name;
        EXPECT_FALSE(fs::exists(dir.path() / "in/out.nc")) << name;
        EXPECT_FALSE(fs::exists(dir.path() / "textures")) << name;
    }

    TempDir dir;
};

}  // namespace

TEST_F(GltfHostile, NoUriLeadsOutOfTheGltfsFolder) {
    const std::string secret = (dir.path() / "outside/secret.bin").string();
    ASSERT_EQ(mkfifo((dir.path() / "in/pipe.bin").c_str(), 0600), 0);
    fs::create_symlink(secret, dir.path() / "in/link.bin");
    const std::pair<std::string, std::string> buffers[] = {
        {"../outside/secret.bin", "leads outside the glTF file's folder"},
        {"%2e%2e/outside/secret.bin", "leads outside the glTF file's folder"},
        {"..%2Foutside%2Fsecret.bin", "leads outside the glTF file's folder"},
        {"sub/../../outside/secret.bin", "leads outside the glTF file's folder"},
        {"link.bin", "leads outside the glTF file's folder"},
        {secret, "is an absolute path"},
        {"%2F" + secret.substr(1), "is an absolute path"},
        {"file://" + secret, "is a URL"},
        {"/dev/zero", "is an absolute path"},
        {"pipe.bin", "is not a regular file"},
        {".", "is not a regular file"},
        {"absent.bin", "is missing"},
        {"tri%zz.bin", "has a '%' that is not followed by two hexadecimal digits"},
    };
    for (const auto& [uri, reason] : buffers) {
        dir.Write("in/scene.gltf", TriangleGltf(uri));
        ExpectRefused("scene.gltf", "buffer 0 (\"" + uri + "\") " + reason);
    }
    // Images the same way, and a device only when absolute paths are allowed.
    dir.Write("in/picture.gltf", TriangleGltf("tri.bin", "../outside/secret.png"));
    ExpectRefused("picture.gltf", "image 0 (\"../outside/secret.png\") leads outside");
    dir.Write("in/device.gltf", TriangleGltf("/dev/zero"));
    ExpectRefused("device.gltf", "buffer 0 (\"/dev/zero\") is not a regular file", {"--absolute-uris"});
    // Names that stay inside, however they are spelt, are read.
    dir.Write("in/sub folder/a+b.bin", kTriangle);
    for (const std::string uri : {"sub%20folder/a+b.bin", "sub%20folder/../sub%20folder/a%2Bb.bin", "./tri.bin"}) {
        dir.Write("in/inside.gltf", TriangleGltf(uri));
        const ToolRun inside = RunTool("import", {(dir.path() / "in/inside.gltf").string(), (dir.path() / "in/out.nc").string()});
        EXPECT_EQ(inside.exitCode, 0) << uri << ": " << inside.output;
    }
    fs::remove(dir.path() / "in/out.nc");
    // The same file, allowed: what the option is for.
    dir.Write("in/allowed.gltf", TriangleGltf(secret));
    const ToolRun allowed = RunTool("import", {(dir.path() / "in/allowed.gltf").string(),
                                               (dir.path() / "in/out.nc").string(), "--absolute-uris"});
    EXPECT_EQ(allowed.exitCode, 0) << allowed.output;
}

TEST_F(GltfHostile, FilesThatCrashedOrHungAreRefusedAtOnce) {
    const std::string buffer = DataUri(kTriangle);
    auto with = [&](const std::string& key, const std::string& value) {
        std::string json = TriangleGltf(buffer);
        json.insert(json.size() - 1, ", \"" + key + "\": " + value);
        return json;
    };
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::pair<std::string, std::string> files[] = {
        {with("extras", deep), "the JSON nests deeper than 64 levels"},
        {"{\"asset\": {\"version\": \"2.0\"}, \"nodes\": " + std::string(5000, '['), "nests deeper than 64"},
        {"not json", "the JSON"},
        {with("extensionsRequired", "[\"KHR_draco_mesh_compression\"]"), "compressed with Draco"},
        {with("extensionsRequired", "[\"EXT_meshopt_compression\"]"), "compressed with meshopt"},
        {with("extensionsRequired", "[\"KHR_materials_unknown\"]"),
         "requires the extension KHR_materials_unknown, which the import does not know"},
    };
    for (size_t i = 0; i < std::size(files); ++i) {
        const std::string name = "case" + std::to_string(i) + ".gltf";
        dir.Write("in/" + name, files[i].first);
        ExpectRefused(name, files[i].second);
    }
}

TEST_F(GltfHostile, ModelsThatCrashedOrHungAreRefusedAtOnce) {
    struct Case {
        std::string reason;
        std::function<void(tinygltf::Model&)> damage;
    };
    const auto keyAt = [](float time) {
        return [time](tinygltf::Model& m) {
            tinygltf::Animation animation;
            samples::AddChannel(m, animation, 1, "rotation", {0, time}, {0, 0, 0, 1, 0, 0, 0, 1}, false);  // the first joint
            m.animations.push_back(animation);
        };
    };
    const Case cases[] = {
        {"COLOR_0 has 2 components: colours have 3 or 4",
         [](tinygltf::Model& m) {
             m.meshes[0].primitives[0].attributes["COLOR_0"] = AddFloatAccessor(m, std::vector<float>(8, 1), TINYGLTF_TYPE_VEC2);
         }},
        {"COLOR_0 has 1 components",
         [](tinygltf::Model& m) {
             m.meshes[0].primitives[0].attributes["COLOR_0"] = AddFloatAccessor(m, std::vector<float>(4, 1), TINYGLTF_TYPE_SCALAR);
         }},
        {"image 0's buffer view of 4096 bytes at 1000000 does not fit its buffer",
         [](tinygltf::Model& m) {
             tinygltf::BufferView view;
             view.buffer = 0;
             view.byteOffset = 1000000;
             view.byteLength = 4096;
             m.bufferViews.push_back(view);
             tinygltf::Image image;
             image.bufferView = static_cast<int>(m.bufferViews.size() - 1);
             image.mimeType = "image/png";
             m.images.push_back(image);
         }},
        {"animation 0: key time 99999996802856924650656260769173209088.000000 is not between 0 and 100000 seconds",
         keyAt(1e38f)},
        {"key time -inf is not between", keyAt(-std::numeric_limits<float>::infinity())},
        {"key time nan is not between", keyAt(std::nanf(""))},
        {"key times do not rise (key 1)", keyAt(0)},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        tinygltf::Model model = samples::WithSkin(2, false, false, false);
        cases[i].damage(model);
        const std::string name = "model" + std::to_string(i) + ".gltf";
        WriteGltf(model, (dir.path() / "in" / name).string());
        ExpectRefused(name, cases[i].reason);
    }
}

TEST_F(GltfHostile, AHugePictureIsRefusedFromItsHeader) {
    // Only the header: nothing is decoded before the size is known.
    dir.Write("in/huge.png", PngClaimingSize(16384, 16384));
    dir.Write("in/huge.gltf", TriangleGltf("tri.bin", "huge.png"));
    ExpectRefused("huge.gltf", "image 0 (\"huge.png\") is 16384 x 16384 pixels: the import takes pictures of 1 to 8192");
    dir.Write("in/odd.png", "GIF89a");
    dir.Write("in/odd.gltf", TriangleGltf("tri.bin", "odd.png"));
    ExpectRefused("odd.gltf", "is neither a PNG nor a JPEG picture");
}

TEST_F(GltfHostile, LongChainsAndManyKeysImportQuickly) {
    // 10,000 nodes each the child of the one before, and a joint with 200,000 keys.
    tinygltf::Model chain = samples::WithSkin(2, false, false, false);
    int parent = 0;
    for (int i = 0; i < 10000; ++i) {
        tinygltf::Node node;
        node.name = "Link" + std::to_string(i);
        chain.nodes.push_back(node);
        chain.nodes[parent].children.push_back(static_cast<int>(chain.nodes.size() - 1));
        parent = static_cast<int>(chain.nodes.size() - 1);
    }
    std::vector<float> times, turns;
    for (int k = 0; k < 200000; ++k) {
        times.push_back(k * 0.04f);
        turns.insert(turns.end(), {0, std::sin(k * 0.01f), 0, std::cos(k * 0.01f)});
    }
    tinygltf::Animation animation;
    samples::AddChannel(chain, animation, 1, "rotation", times, turns, false);
    chain.animations.push_back(animation);
    WriteGltf(chain, (dir.path() / "in/chain.glb").string());
    const auto start = std::chrono::steady_clock::now();
    const ToolRun run = RunTool("import", {(dir.path() / "in/chain.glb").string(), (dir.path() / "in/out.nc").string(),
                                           "--textures", (dir.path() / "textures").string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30);
    const compound_file::File file = ReadBack((dir.path() / "in/out.nc").string());
    EXPECT_EQ(file.nodes.size(), 10002u);
    ASSERT_EQ(file.armatures.size(), 1u);
    EXPECT_GE(file.armatures[0].keys.size(), 200000u);
}

TEST_F(GltfHostile, ExportWritesOnlyIntoItsFolderAndReadsOnlyTheTextures) {
    compound_file::File file;
    file.textures = {"../../outside/secret.png", "/etc/passwd", "sub/dir.png", "tex2d_fine.png"};
    compound_file::Material material;
    material.name = "M\xEC\x80";  // a name glTF's JSON cannot hold as it is
    material.textures = {0, 1, 2, 3};
    file.materials.push_back(material);
    dir.Write("work/models/evil.nc", compound_file::Write(file));
    dir.Write("work/textures/tex2d_fine.png", "fine");
    dir.Write("work/textures/sub/dir.png", "in a folder below");
    fs::create_directories(dir.path() / "out");
    for (const std::string out : {"out/evil.gltf", "out/evil.glb"}) {
        const ToolRun run = RunTool("export", {(dir.path() / "work/models/evil.nc").string(), (dir.path() / out).string()});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_TRUE(Says(run, "texture \"../../outside/secret.png\" is not a file of the textures folder")) << run.output;
        EXPECT_TRUE(Says(run, "texture \"/etc/passwd\" is not a file of the textures folder")) << run.output;
        const std::string written = FileText((dir.path() / out).string());
        EXPECT_EQ(written.find("PNG"), std::string::npos) << out;  // the secret's bytes
        EXPECT_EQ(written.find("in a folder below"), std::string::npos) << out;
        EXPECT_NE(written.find(".._.._outside_secret.png"), std::string::npos) << out;
        EXPECT_NE(written.find("\"M??\""), std::string::npos) << out;
    }
    // Beside the .gltf: the one plain texture, nothing anywhere else.
    std::vector<std::string> beside;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "out"))
        beside.push_back(entry.path().filename().string());
    std::sort(beside.begin(), beside.end());
    EXPECT_EQ(beside, (std::vector<std::string>{"evil.glb", "evil.gltf", "tex2d_fine.png"}));
    EXPECT_EQ(FileText((dir.path() / "outside/secret.png").string()), std::string("\x89PNG\r\n\x1a\n", 8));
}

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <set>

#include "gltf_extras.h"
#include "gltf_import_parts.h"
#include "model/material.h"
#include "gltf_images.h"
#include "png_writer.h"

namespace cf = compound_file;

namespace {

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// A file name's stem, without a kind prefix (the size decides it anew) and
// with only characters every file system takes.
std::string BaseName(const tinygltf::Image& image, size_t index) {
    std::string name = image.name;
    if (name.empty() && !image.uri.empty() && image.uri.rfind("data:", 0) != 0)
        name = std::filesystem::path(image.uri).stem().string();
    for (const char* prefix : {"tex2dnpt_", "tex2d_"})
        if (name.rfind(prefix, 0) == 0) name.erase(0, std::string(prefix).size());
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_' && ch != '-') ch = '_';
    return name.empty() ? "image" + std::to_string(index) : name;
}

// The decoded pixels as 0xAARRGGBB; 16-bit channels keep their high byte.
std::vector<uint32_t> Pixels(const tinygltf::Image& image) {
    const size_t channels = static_cast<size_t>(image.component), bytes = image.bits == 16 ? 2 : 1;
    std::vector<uint32_t> pixels;
    const size_t count = static_cast<size_t>(image.width) * image.height;
    pixels.reserve(count);
    for (size_t p = 0; p < count; ++p) {
        uint32_t c[4] = {0, 0, 0, 255};
        for (size_t k = 0; k < channels; ++k) c[k] = image.image[(p * channels + k) * bytes + (bytes - 1)];
        if (channels <= 2) c[3] = channels == 2 ? c[1] : 255, c[1] = c[2] = c[0];
        pixels.push_back(c[3] << 24 | c[0] << 16 | c[1] << 8 | c[2]);
    }
    return pixels;
}

// A texture file name that no image took.
std::string UnusedName(const ImportContext& c, const std::string& stem) {
    std::string name = stem + ".png";
    for (int n = 1; std::find(c.file.textures.begin(), c.file.textures.end(), name) != c.file.textures.end(); ++n)
        name = stem + "_" + std::to_string(n) + ".png";
    return name;
}

// The engine binds every texture repeating and with linear filters.
void WarnAboutSampler(const ImportContext& c, int texture, const std::string& what) {
    const int sampler = c.in.textures[texture].sampler;
    if (sampler < 0 || static_cast<size_t>(sampler) >= c.in.samplers.size()) return;
    const tinygltf::Sampler& s = c.in.samplers[sampler];
    const auto wrap = [](int mode) {
        return mode == TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE     ? "clamps"
               : mode == TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT ? "mirrors"
                                                               : nullptr;
    };
    if (const char* how = wrap(s.wrapS) ? wrap(s.wrapS) : wrap(s.wrapT))
        c.Warn(what + "'s base colour texture " + how + " at its edges: the engine repeats every texture");
    if (s.magFilter == TINYGLTF_TEXTURE_FILTER_NEAREST)
        c.Warn(what + "'s base colour texture is magnified without smoothing: the engine filters every texture linearly");
}

// The texture record a glTF texture shows: the record of its image.
int ImageOf(const ImportContext& c, int texture, const std::string& what) {
    if (texture < 0) return -1;
    if (static_cast<size_t>(texture) >= c.in.textures.size())
        throw ImportError{what + " refers to texture " + std::to_string(texture) + " of " +
                          std::to_string(c.in.textures.size())};
    const int image = c.in.textures[texture].source;
    if (image < 0 || static_cast<size_t>(image) >= c.in.images.size())
        throw ImportError{what + " shows texture " + std::to_string(texture) + ", which has no image"};
    return image;
}

}  // namespace

uint32_t WhiteTexture(ImportContext& c) {
    if (c.whiteTexture < 0) {
        c.whiteTexture = static_cast<int>(c.file.textures.size());
        c.file.textures.push_back(UnusedName(c, "tex2d_white"));
    }
    return static_cast<uint32_t>(c.whiteTexture);
}

std::optional<std::array<float, 6>> BaseColourTransform(const ImportContext& c, int material) {
    if (material < 0 || static_cast<size_t>(material) >= c.in.materials.size()) return std::nullopt;
    const tinygltf::ExtensionMap& extensions = c.in.materials[material].pbrMetallicRoughness.baseColorTexture.extensions;
    const auto found = extensions.find("KHR_texture_transform");
    if (found == extensions.end()) return std::nullopt;
    const std::vector<double> offset = ExtraNumbers(found->second, "offset"), scale = ExtraNumbers(found->second, "scale");
    const double rotation = ExtraNumber(found->second, "rotation", 0);
    const double u = offset.size() == 2 ? offset[0] : 0, v = offset.size() == 2 ? offset[1] : 0;
    const double su = scale.size() == 2 ? scale[0] : 1, sv = scale.size() == 2 ? scale[1] : 1;
    // Translation x rotation x scale, as the extension defines them.
    const double cs = std::cos(rotation), sn = std::sin(rotation);
    const std::array<float, 6> t = {static_cast<float>(cs * su), static_cast<float>(sn * sv), static_cast<float>(u),
                                    static_cast<float>(-sn * su), static_cast<float>(cs * sv), static_cast<float>(v)};
    for (float f : t)
        if (!std::isfinite(f)) throw ImportError{"material \"" + c.in.materials[material].name + "\" has a texture transform that is not finite"};
    return t;
}

void ImportImages(ImportContext& c) {
    std::set<std::string> used;
    for (size_t i = 0; i < c.in.images.size(); ++i) {
        const tinygltf::Image& image = c.in.images[i];
        const std::string prefix = PowerOfTwo(image.width) && PowerOfTwo(image.height) ? "tex2d_" : "tex2dnpt_";
        std::string name = prefix + BaseName(image, i) + ".png";
        if (!used.insert(name).second) name = prefix + BaseName(image, i) + "_" + std::to_string(i) + ".png";
        used.insert(name);
        c.file.textures.push_back(name);
    }
}

// One picture decoded at a time; what was written goes again when a later one fails.
void WriteImages(ImportContext& c) {
    std::vector<std::string> written;
    try {
        for (size_t i = 0; i < c.file.textures.size(); ++i) {
            const std::string path = (std::filesystem::path(c.options.textureDirectory) / c.file.textures[i]).string();
            bool done = false;
            if (static_cast<int>(i) == c.whiteTexture) {
                done = WritePng(path, 1, 1, {0xFFFFFFFFu}, false);
            } else {
                const tinygltf::Image image = DecodeImage(c.in.images[i], i);
                done = WritePng(path, image.width, image.height, Pixels(image), image.component == 2 || image.component == 4);
            }
            if (!done) throw ImportError{"cannot write " + path};
            written.push_back(path);
        }
    } catch (const ImportError&) {
        std::error_code ignored;
        for (const std::string& path : written) std::filesystem::remove(path, ignored);
        throw;
    }
}

// Base colour in slot 0; further textures after it, as the extras list them
// or else the other maps of the material.
void ImportMaterials(ImportContext& c) {
    for (const tinygltf::Material& material : c.in.materials) {
        const std::string what = "material \"" + material.name + "\"";
        cf::Material m;
        m.name = material.name;
        const std::vector<double>& factor = material.pbrMetallicRoughness.baseColorFactor;
        for (size_t i = 0; i < 4 && i < factor.size(); ++i) m.diffuse[i] = static_cast<float>(factor[i]);
        const tinygltf::TextureInfo& baseInfo = material.pbrMetallicRoughness.baseColorTexture;
        const int base = ImageOf(c, baseInfo.index, what);
        const bool fromCompound = material.extras.IsObject() && material.extras.Has("flags");
        // The demo's asset loading puts its own picture into slot 0 of these, and only into an empty slot.
        static const std::set<std::string> kFilledByLoading = {"BlueFloor", "R2", "Brilhante"};
        if (base < 0 && !fromCompound && !kFilledByLoading.count(material.name)) {
            m.textures.push_back(WhiteTexture(c));
        }
        if (base >= 0) {
            WarnAboutSampler(c, baseInfo.index, what);
            m.textures.push_back(static_cast<uint32_t>(base));
            std::vector<int> further;
            const std::vector<double> kept = ExtraNumbers(material.extras, "textures");
            if (!kept.empty() || (material.extras.IsObject() && material.extras.Has("flags"))) {
                // Out of range, a kept index is refused by ImageOf below.
                for (double t : kept) further.push_back(t >= 0 && t < INT32_MAX ? static_cast<int>(t) : INT32_MAX);
            } else {
                further = {material.normalTexture.index, material.occlusionTexture.index,
                           material.emissiveTexture.index, material.pbrMetallicRoughness.metallicRoughnessTexture.index};
            }
            for (int t : further)
                if (t >= 0) m.textures.push_back(static_cast<uint32_t>(ImageOf(c, t, what)));
        }
        const uint32_t keptFlags = ExtraUnsigned(material.extras, "flags", 0);
        const uint32_t keptBlend = ExtraUnsigned(material.extras, "blendMode", 1);
        const uint32_t keptCull = ExtraUnsigned(material.extras, "cullMode", 2);
        const bool blended = material.alphaMode == "BLEND" || material.alphaMode == "MASK";
        m.flags = (keptFlags & ~MATERIAL_BLEND) | (blended ? MATERIAL_BLEND : 0);
        // Additive blending has no glTF mode: it survives as BLEND with its extras.
        m.blendMode = material.alphaMode == "MASK" ? 2 : material.alphaMode == "BLEND" ? (keptBlend == 3 ? 3 : 1) : keptBlend;
        m.cullMode = material.doubleSided ? 1 : keptCull == 1 ? 2 : keptCull;
        c.file.materials.push_back(m);
    }
}

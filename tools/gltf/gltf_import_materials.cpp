#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <set>

#include "gltf_extras.h"
#include "gltf_import_parts.h"
#include "model/material.h"
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

void ImportImages(ImportContext& c) {
    std::set<std::string> used;
    for (size_t i = 0; i < c.in.images.size(); ++i) {
        const tinygltf::Image& image = c.in.images[i];
        const std::string what = "image " + std::to_string(i) + (image.uri.empty() || image.uri.rfind("data:", 0) == 0
                                                                      ? ""
                                                                      : " (\"" + image.uri + "\")");
        const size_t expected = static_cast<size_t>(std::max(image.width, 0)) * std::max(image.height, 0) *
                                std::max(image.component, 0) * (image.bits == 16 ? 2 : 1);
        if (image.width <= 0 || image.height <= 0 || image.component < 1 || image.component > 4 ||
            image.image.size() < expected)
            throw ImportError{what + " could not be read: the textures need every picture"};
        const std::string prefix = PowerOfTwo(image.width) && PowerOfTwo(image.height) ? "tex2d_" : "tex2dnpt_";
        std::string name = prefix + BaseName(image, i) + ".png";
        if (!used.insert(name).second) name = prefix + BaseName(image, i) + "_" + std::to_string(i) + ".png";
        used.insert(name);
        const bool alpha = image.component == 2 || image.component == 4;
        const std::string path = (std::filesystem::path(c.options.textureDirectory) / name).string();
        if (!WritePng(path, image.width, image.height, Pixels(image), alpha))
            throw ImportError{"cannot write " + path};
        c.file.textures.push_back(name);
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
        const int base = ImageOf(c, material.pbrMetallicRoughness.baseColorTexture.index, what);
        if (base >= 0) {
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

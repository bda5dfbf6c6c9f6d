#include "compound_summary.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace cf = compound_file;

namespace {

class Text {
public:
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char line[1024];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(line, sizeof line, format, arguments);
        va_end(arguments);
        text_ += line;
        text_ += '\n';
    }
    std::string text_;
};

std::string Format(Vec3 v) {
    char text[96];
    std::snprintf(text, sizeof text, "(%g, %g, %g)", v.x, v.y, v.z);
    return text;
}

std::string Format(const Quaternion& q) {
    char text[128];
    std::snprintf(text, sizeof text, "(%g, %g, %g, %g)", q.x, q.y, q.z, q.w);
    return text;
}

template <typename List>
std::string NameAt(const List& list, size_t index) {
    return index < list.size() ? "\"" + list[index].name + "\"" : "(none: index past the list)";
}

std::string ElementText(const cf::VertexElement& e) {
    static const char* kKinds[] = {"", "position", "normal", "", "texcoord", "", "", "", "colour"};
    const char* kind = e.kind < 9 && kKinds[e.kind][0] ? kKinds[e.kind] : "unknown kind";
    char text[96];
    std::snprintf(text, sizeof text, "%s%u x%u @%u", kind, e.usageIndex, e.components, e.offset);
    return text;
}

void DescribeModel(const cf::File& file, size_t index, Text& out) {
    const cf::Model& m = file.models[index];
    size_t faces = 0;
    for (const cf::Subset& s : m.subsets) faces += s.indices.size() / 3;
    out.Line("  %zu \"%s\": %u vertices, %zu faces in %zu subsets", index, m.name.c_str(), m.vertexCount, faces,
             m.subsets.size());
    std::string layout;
    for (const cf::VertexElement& e : m.elements) layout += (layout.empty() ? "" : ", ") + ElementText(e);
    const size_t stride = m.vertexCount ? m.vertices.size() / m.vertexCount : 0;
    out.Line("    layout: %s (stride %zu)", layout.c_str(), stride);
    // The bounds of the positions themselves, beside the extents the file stores.
    const auto position = std::find_if(m.elements.begin(), m.elements.end(),
                                       [](const cf::VertexElement& e) { return e.kind == cf::kPosition; });
    if (position != m.elements.end() && m.vertexCount) {
        Vec3 low, high;
        for (size_t v = 0; v < m.vertexCount; ++v) {
            Vec3 p;
            std::memcpy(&p, m.vertices.data() + v * stride + position->offset, sizeof p);
            if (v == 0) low = high = p;
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
        out.Line("    bounding box %s to %s", Format(low).c_str(), Format(high).c_str());
    }
    out.Line("    extents %s, %s", Format(m.firstExtent).c_str(), Format(m.secondExtent).c_str());
    for (size_t s = 0; s < m.subsets.size(); ++s)
        out.Line("    subset %zu: %zu faces, material %u %s", s, m.subsets[s].indices.size() / 3, m.subsets[s].material,
                 NameAt(file.materials, m.subsets[s].material).c_str());
}

void DescribeArmature(const cf::Armature& a, size_t index, Text& out) {
    if (a.keys.empty())
        out.Line("  %zu \"%s\": %zu bones, no keys", index, a.name.c_str(), a.bones.size());
    else
        out.Line("  %zu \"%s\": %zu bones, %zu keys from %g to %g", index, a.name.c_str(), a.bones.size(),
                 a.keys.size(), a.keys.front().time, a.keys.back().time);
    for (size_t b = 0; b < a.bones.size(); ++b) {
        const cf::Bone& bone = a.bones[b];
        const std::string parent = bone.parent < 0 ? "none" : NameAt(a.bones, static_cast<size_t>(bone.parent));
        out.Line("    bone %zu \"%s\": parent %s, offset %s, tail %s, rest head %s", b, bone.name.c_str(),
                 parent.c_str(), Format(bone.offset).c_str(), Format(bone.tail).c_str(),
                 Format(bone.restHead).c_str());
    }
}

// The placement the loader takes: the first flag in this order.
std::string Placed(const cf::File& file, const cf::Node& n) {
    const std::string index = " " + std::to_string(n.datablock) + " ";
    if (n.flags & NODE_MODEL) return "model" + index + NameAt(file.models, n.datablock);
    if (n.flags & NODE_CAMERA) return "camera" + index + NameAt(file.cameras, n.datablock);
    if (n.flags & NODE_EMPTY) return "empty";
    if (n.flags & NODE_LIGHT) return "light" + index + NameAt(file.lights, n.datablock);
    if (n.flags & NODE_ARMATURE) return "armature" + index + NameAt(file.armatures, n.datablock);
    return "nothing";
}

void DescribeNode(const cf::File& file, size_t index, Text& out) {
    const cf::Node& n = file.nodes[index];
    out.Line("  %zu \"%s\": %s, at %s, rotation %s, scale %s", index, n.name.c_str(), Placed(file, n).c_str(),
             Format(n.position).c_str(), Format(n.rotation).c_str(), Format(n.scale).c_str());
    if (n.parent) out.Line("    parent %u %s", *n.parent, NameAt(file.nodes, *n.parent).c_str());
    if (n.track && !n.track->empty())
        out.Line("    track: %zu keys from %g to %g", n.track->size(), n.track->front().time, n.track->back().time);
    if (n.flags & NODE_FIXED_MATRIX) out.Line("    keeps its stored matrix");
}

}  // namespace

std::string DescribeCompound(const cf::File& file) {
    Text out;
    out.Line("%zu textures, %zu materials, %zu models, %zu cameras, %zu lights, %zu armatures, %zu nodes",
             file.textures.size(), file.materials.size(), file.models.size(), file.cameras.size(), file.lights.size(),
             file.armatures.size(), file.nodes.size());
    if (!file.textures.empty()) out.Line("textures:");
    for (size_t i = 0; i < file.textures.size(); ++i) out.Line("  %zu \"%s\"", i, file.textures[i].c_str());
    if (!file.materials.empty()) out.Line("materials:");
    for (size_t i = 0; i < file.materials.size(); ++i) {
        const cf::Material& m = file.materials[i];
        std::string slots;
        for (uint32_t t : m.textures) slots += (slots.empty() ? "" : ", ") + std::to_string(t);
        out.Line("  %zu \"%s\": diffuse (%g, %g, %g, %g), flags 0x%x, blend mode %u, cull mode %u, textures [%s]", i,
                 m.name.c_str(), m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3], m.flags, m.blendMode,
                 m.cullMode, slots.c_str());
    }
    if (!file.models.empty()) out.Line("models:");
    for (size_t i = 0; i < file.models.size(); ++i) DescribeModel(file, i, out);
    if (!file.cameras.empty()) out.Line("cameras:");
    for (size_t i = 0; i < file.cameras.size(); ++i)
        out.Line("  %zu \"%s\": value %g", i, file.cameras[i].name.c_str(), file.cameras[i].value);
    if (!file.lights.empty()) out.Line("lights:");
    for (size_t i = 0; i < file.lights.size(); ++i) {
        const cf::Light& l = file.lights[i];
        out.Line("  %zu \"%s\": kind %u, colour (%g, %g, %g, %g), colour w %g, position w %g", i, l.name.c_str(),
                 l.kind, l.colour[0], l.colour[1], l.colour[2], l.colour[3], l.colourW, l.positionW);
    }
    if (!file.armatures.empty()) out.Line("armatures:");
    for (size_t i = 0; i < file.armatures.size(); ++i) DescribeArmature(file.armatures[i], i, out);
    if (!file.nodes.empty()) out.Line("nodes:");
    for (size_t i = 0; i < file.nodes.size(); ++i) DescribeNode(file, i, out);
    return out.text_;
}

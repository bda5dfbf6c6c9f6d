#include "gltf_accessors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

namespace {

// An accessor without a buffer view holds zeros under its sparse values: no more of them than this.
constexpr size_t kMostSparseElements = size_t{1} << 24;

int ComponentsOf(int type) {
    switch (type) {
        case TINYGLTF_TYPE_SCALAR: return 1;
        case TINYGLTF_TYPE_VEC2: return 2;
        case TINYGLTF_TYPE_VEC3: return 3;
        case TINYGLTF_TYPE_VEC4: return 4;
        case TINYGLTF_TYPE_MAT4: return 16;
    }
    return 0;
}

size_t SizeOf(int componentType) {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT: return 4;
    }
    return 0;
}

// One component as a double, scaled when normalised.
double Component(const uint8_t* p, int componentType, bool normalised) {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const double v = static_cast<int8_t>(*p);
            return normalised ? std::max(v / 127.0, -1.0) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return normalised ? *p / 255.0 : *p;
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            int16_t v;
            std::memcpy(&v, p, 2);
            return normalised ? std::max(v / 32767.0, -1.0) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            return normalised ? v / 65535.0 : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        default: {
            float v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

using Fail = std::function<void(const std::string&)>;  // throws

// Where count elements of elementSize bytes begin, byteOffset into a buffer
// view, after checking that they lie inside it and its buffer. The stride is
// the view's, or the element size when tight or the view has none.
const uint8_t* ElementsIn(const tinygltf::Model& model, int viewIndex, long long byteOffset, size_t count,
                          size_t elementSize, bool tight, size_t* stride, const std::string& name, const Fail& fail) {
    if (viewIndex < 0 || static_cast<size_t>(viewIndex) >= model.bufferViews.size()) fail(name + " has no buffer view");
    const tinygltf::BufferView& view = model.bufferViews[viewIndex];
    if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= model.buffers.size())
        fail(name + " refers to a missing buffer");
    const std::vector<unsigned char>& buffer = model.buffers[view.buffer].data;
    *stride = view.byteStride && !tight ? view.byteStride : elementSize;
    const size_t offset = byteOffset >= 0 ? static_cast<size_t>(byteOffset) : SIZE_MAX;
    // Divided, not multiplied, so that no count overflows.
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset || *stride < elementSize ||
        offset > view.byteLength || elementSize > view.byteLength - offset ||
        count - 1 > (view.byteLength - offset - elementSize) / *stride)
        fail(name + " of " + std::to_string(count) + " elements does not fit its buffer");
    return buffer.data() + view.byteOffset + offset;
}

// Every element of the accessor as doubles, after checking that it lies
// inside its buffer, with its sparse values put in.
std::vector<double> ReadElements(const tinygltf::Model& model, int index, int components, const std::string& what) {
    const Fail fail = [&what](const std::string& fault) { throw ImportError{what + ": " + fault}; };
    if (index < 0 || static_cast<size_t>(index) >= model.accessors.size())
        fail("refers to accessor " + std::to_string(index) + " of " + std::to_string(model.accessors.size()));
    const tinygltf::Accessor& accessor = model.accessors[index];
    const std::string name = "accessor " + std::to_string(index);
    if (ComponentsOf(accessor.type) != components)
        fail(name + " has " + std::to_string(ComponentsOf(accessor.type)) + " components, not " +
             std::to_string(components));
    const size_t componentSize = SizeOf(accessor.componentType);
    if (!componentSize) fail(name + " has an unknown component type " + std::to_string(accessor.componentType));
    std::vector<double> values;
    if (accessor.count == 0) return values;
    const size_t elementSize = componentSize * components;
    const auto read = [&](const uint8_t* at, int componentType, bool normalised, size_t c) {
        return Component(at + c * SizeOf(componentType), componentType, normalised);
    };
    if (accessor.bufferView >= 0 || !accessor.sparse.isSparse) {
        size_t stride = 0;
        const uint8_t* base = ElementsIn(model, accessor.bufferView, static_cast<long long>(accessor.byteOffset),
                                         accessor.count, elementSize, false, &stride, name, fail);
        values.reserve(accessor.count * components);
        for (size_t i = 0; i < accessor.count; ++i)
            for (int c = 0; c < components; ++c)
                values.push_back(read(base + i * stride, accessor.componentType, accessor.normalized, c));
    } else if (accessor.count > kMostSparseElements) {
        fail(name + " has " + std::to_string(accessor.count) + " elements and no buffer view");
    } else {
        values.assign(accessor.count * components, 0.0);  // sparse values on zeros
    }
    if (!accessor.sparse.isSparse) return values;
    const auto& sparse = accessor.sparse;
    const int indexType = sparse.indices.componentType;
    if (indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
        fail(name + "'s sparse indices are not unsigned integers");
    if (sparse.count < 1 || static_cast<size_t>(sparse.count) > accessor.count)
        fail(name + " has " + std::to_string(sparse.count) + " sparse values for " + std::to_string(accessor.count) +
             " elements");
    const size_t count = static_cast<size_t>(sparse.count);
    size_t stride = 0;
    const uint8_t* indices = ElementsIn(model, sparse.indices.bufferView, sparse.indices.byteOffset, count,
                                        SizeOf(indexType), true, &stride, name + "'s sparse indices", fail);
    const uint8_t* replacements = ElementsIn(model, sparse.values.bufferView, sparse.values.byteOffset, count,
                                             elementSize, true, &stride, name + "'s sparse values", fail);
    for (size_t i = 0; i < count; ++i) {
        const double at = read(indices + i * SizeOf(indexType), indexType, false, 0);
        if (at >= static_cast<double>(accessor.count))
            fail(name + "'s sparse index " + std::to_string(static_cast<uint64_t>(at)) + " is past its " +
                 std::to_string(accessor.count) + " elements");
        for (int c = 0; c < components; ++c)
            values[static_cast<size_t>(at) * components + c] =
                read(replacements + i * elementSize, accessor.componentType, accessor.normalized, c);
    }
    return values;
}

}  // namespace

std::vector<float> ReadFloats(const tinygltf::Model& model, int accessor, int components, const std::string& what) {
    const std::vector<double> values = ReadElements(model, accessor, components, what);
    return std::vector<float>(values.begin(), values.end());
}

std::vector<uint32_t> ReadIntegers(const tinygltf::Model& model, int accessor, int components,
                                   const std::string& what) {
    const tinygltf::Accessor* a =
        accessor >= 0 && static_cast<size_t>(accessor) < model.accessors.size() ? &model.accessors[accessor] : nullptr;
    const bool unsignedIntegers = a && !a->normalized && (a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
                                                          a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ||
                                                          a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
    if (a && !unsignedIntegers)
        throw ImportError{what + ": accessor " + std::to_string(accessor) + " holds no unsigned integers"};
    const std::vector<double> values = ReadElements(model, accessor, components, what);
    return std::vector<uint32_t>(values.begin(), values.end());
}

int AddBufferView(tinygltf::Model& model, const void* data, size_t bytes, int target) {
    if (model.buffers.empty()) model.buffers.emplace_back();
    std::vector<unsigned char>& buffer = model.buffers[0].data;
    while (buffer.size() % 4) buffer.push_back(0);  // every component stays aligned
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = buffer.size();
    view.byteLength = bytes;
    view.target = target;
    buffer.insert(buffer.end(), static_cast<const unsigned char*>(data),
                  static_cast<const unsigned char*>(data) + bytes);
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size() - 1);
}

int AddAccessor(tinygltf::Model& model, const void* data, size_t count, int componentType, int type, int target) {
    tinygltf::Accessor accessor;
    accessor.bufferView = AddBufferView(model, data, count * SizeOf(componentType) * ComponentsOf(type), target);
    accessor.componentType = componentType;
    accessor.type = type;
    accessor.count = count;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

int AddFloatAccessor(tinygltf::Model& model, const std::vector<float>& values, int type, bool withBounds,
                     int target) {
    const int components = ComponentsOf(type);
    const int index = AddAccessor(model, values.data(), values.size() / components, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                  type, target);
    if (withBounds && !values.empty()) {
        tinygltf::Accessor& accessor = model.accessors[index];
        accessor.minValues.assign(values.begin(), values.begin() + components);
        accessor.maxValues = accessor.minValues;
        for (size_t i = 0; i < values.size(); ++i) {
            double& low = accessor.minValues[i % components];
            double& high = accessor.maxValues[i % components];
            low = std::min<double>(low, values[i]);
            high = std::max<double>(high, values[i]);
        }
    }
    return index;
}

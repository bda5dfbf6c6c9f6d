#include "gltf_extras.h"

#include <cmath>

tinygltf::Value Number(double value) { return tinygltf::Value(value); }

tinygltf::Value Numbers(const std::vector<double>& values) {
    tinygltf::Value::Array array;
    for (double v : values) array.push_back(tinygltf::Value(v));
    return tinygltf::Value(array);
}

tinygltf::Value Text(const std::string& text) { return tinygltf::Value(text); }

double ExtraNumber(const tinygltf::Value& extras, const std::string& key, double fallback) {
    if (!extras.IsObject() || !extras.Has(key) || !extras.Get(key).IsNumber()) return fallback;
    return extras.Get(key).GetNumberAsDouble();
}

uint32_t ExtraUnsigned(const tinygltf::Value& extras, const std::string& key, uint32_t fallback) {
    const double value = ExtraNumber(extras, key, fallback);
    // A file may hold anything; only what fits is taken.
    return value >= 0 && value <= UINT32_MAX && value == std::floor(value) ? static_cast<uint32_t>(value) : fallback;
}

int ExtraIndex(const tinygltf::Value& extras, const std::string& key) {
    const double value = ExtraNumber(extras, key, -1);
    return value >= 0 && value <= INT32_MAX && value == std::floor(value) ? static_cast<int>(value) : -1;
}

std::vector<double> ExtraNumbers(const tinygltf::Value& extras, const std::string& key) {
    std::vector<double> values;
    if (!extras.IsObject() || !extras.Has(key) || !extras.Get(key).IsArray()) return values;
    const tinygltf::Value& array = extras.Get(key);
    for (size_t i = 0; i < array.ArrayLen(); ++i)
        if (array.Get(static_cast<int>(i)).IsNumber()) values.push_back(array.Get(static_cast<int>(i)).GetNumberAsDouble());
    return values;
}

std::string ExtraText(const tinygltf::Value& extras, const std::string& key) {
    if (!extras.IsObject() || !extras.Has(key) || !extras.Get(key).IsString()) return "";
    return extras.Get(key).Get<std::string>();
}

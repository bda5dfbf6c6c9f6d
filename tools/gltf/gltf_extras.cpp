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

std::string ValidUtf8(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = [&](size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
        const unsigned lead = byte(0);
        // The sequence's length and the range its second byte must lie in (no overlong forms, no surrogates).
        size_t length = 0;
        unsigned low = 0x80, high = 0xBF;
        if (lead < 0x80) length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF) length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        bool whole = length > 0 && (length == 1 || (byte(1) >= low && byte(1) <= high));
        for (size_t k = 2; whole && k < length; ++k) whole = byte(k) >= 0x80 && byte(k) <= 0xBF;
        if (whole) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

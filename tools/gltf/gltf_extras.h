// The "extras" objects in which export keeps what glTF has no field for
// (material flags, light values, bone tails ...) and import reads back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tiny_gltf.h>

using Extras = tinygltf::Value::Object;

tinygltf::Value Number(double value);
tinygltf::Value Numbers(const std::vector<double>& values);
tinygltf::Value Text(const std::string& text);

// text with each byte that is not part of a well-formed UTF-8 sequence
// replaced by '?': glTF's JSON holds UTF-8 only, a compound's names any bytes.
std::string ValidUtf8(const std::string& text);

// The number under key, or fallback when extras has none.
double ExtraNumber(const tinygltf::Value& extras, const std::string& key, double fallback);
// A whole number under key within 0 .. UINT32_MAX, or fallback when there is none.
uint32_t ExtraUnsigned(const tinygltf::Value& extras, const std::string& key, uint32_t fallback);
// An index under key (an integer from -1 up), or -1.
int ExtraIndex(const tinygltf::Value& extras, const std::string& key);
// The numbers under key, or none.
std::vector<double> ExtraNumbers(const tinygltf::Value& extras, const std::string& key);
std::string ExtraText(const tinygltf::Value& extras, const std::string& key);

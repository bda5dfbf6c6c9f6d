// #include in a source given to D3DXCompileShader, served by the caller's
// ID3DXInclude before the source goes to the compiler.
#pragma once

#include <string>
#include <string_view>

#include "backend/d3dx9_shader.h"

// The source with every #include line replaced by what include opens for
// it, nested includes too, with #line lines around it so that the
// compiler's line numbers stay those of the source. False, with the reason
// in *error, when include cannot open a file or includes nest deeper than
// 16 or grow past 16 MiB. A null include leaves the source as it is.
bool ExpandIncludes(std::string_view source, ID3DXInclude* include, std::string* expanded, std::string* error);

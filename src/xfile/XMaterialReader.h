#pragma once
// A "Material" block: face colour (r, g, b, a), power, specular and emissive colours and an
// optional texture file name (read over: part textures come from colour definitions instead).

#include <cstdint>
#include <string_view>

#include "platform/rm/Library.h"

namespace xfile {

class XTokenizer;

struct XMaterialEntry {
    std::string_view name;  // points into the text; empty for an unnamed or missing material
    rm::Ref<rm::Material> material;
    std::uint32_t color = 0;  // 0xAARRGGBB
};

// 0xAARRGGBB from reals: each channel times 255, truncated towards zero and held to 0..255
// (NaN gives 0), so values outside 0..1 cannot spill into the neighbouring channel.
std::uint32_t PackMaterialColor(double r, double g, double b, double a);

// Reads a material after its keyword. False (with nothing created) when a number is missing; the
// tokenizer is then in its mismatch state for the caller to recover.
bool ReadMaterial(XTokenizer& tokens, rm::Library& library, XMaterialEntry* out);

}  // namespace xfile

#include "xfile/XMaterialReader.h"

#include "platform/rm/Material.h"
#include "xfile/XNumber.h"
#include "xfile/XTokenizer.h"

namespace xfile {

namespace {

std::uint32_t Channel(double value) {
    const double scaled = value * 255.0;
    if (!(scaled > 0.0)) return 0;  // also NaN
    if (scaled >= 255.0) return 255;
    return static_cast<std::uint32_t>(scaled);
}

}  // namespace

std::uint32_t PackMaterialColor(double r, double g, double b, double a) {
    return Channel(a) << 24 | Channel(r) << 16 | Channel(g) << 8 | Channel(b);
}

bool ReadMaterial(XTokenizer& tokens, rm::Library& library, XMaterialEntry* out) {
    XMaterialEntry entry;
    const std::string_view first = tokens.Next();
    if (first != "{") {
        entry.name = first;
        tokens.Skip();
    }
    const double r = tokens.ReadReal();
    const double g = tokens.ReadReal();
    const double b = tokens.ReadReal();
    const double a = tokens.ReadReal();
    const double power = tokens.ReadReal();
    float specular[3];
    float emissive[3];
    for (float& v : specular) v = ToFloat(tokens.ReadReal());
    for (float& v : emissive) v = ToFloat(tokens.ReadReal());
    if (tokens.Failed()) return false;

    entry.color = PackMaterialColor(r, g, b, a);
    entry.material = library.CreateMaterial(rm::UsablePower(ToFloat(power)));
    if (entry.material) {
        entry.material->SetSpecular(specular[0], specular[1], specular[2]);
        entry.material->SetEmissive(emissive[0], emissive[1], emissive[2]);
    }
    if (tokens.Next() == "TextureFilename") {
        tokens.Skip();  // "{"
        tokens.Skip();  // the quoted file name
        tokens.Skip();  // "}" of the file name
        tokens.Skip();  // "}" of the material
    }
    *out = std::move(entry);
    return true;
}

}  // namespace xfile

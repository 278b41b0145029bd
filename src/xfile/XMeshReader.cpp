#include "xfile/XMeshReader.h"

#include <algorithm>

#include "xfile/XLimits.h"
#include "xfile/XNumber.h"
#include "xfile/XTokenizer.h"

namespace xfile {

XMeshReader::XMeshReader(XTokenizer& tokens, rm::Library& library, std::span<const XMaterialEntry> topLevel)
    : m_tokens(tokens), m_library(library), m_topLevel(topLevel) {}

rm::Ref<rm::MeshBuilder> XMeshReader::Read() {
    if (m_tokens.Next() != "{") m_tokens.Skip();  // a name, then "{"
    const long vertexCount = m_tokens.ReadLong();
    if (m_tokens.Mismatch()) {
        m_tokens.Recover(1);
        return {};
    }
    // Fewer than 3 vertices make no mesh; a count the text cannot hold makes none either.
    if (vertexCount <= 2 || !m_tokens.CanHold(vertexCount, 3)) {
        m_tokens.SkipBlock(1);
        return {};
    }
    m_mesh = m_library.CreateMeshBuilder();
    if (!m_mesh || !ReadGeometry(vertexCount)) {
        m_tokens.Recover(1);
        return {};
    }
    for (;;) {
        const std::string_view t = m_tokens.Next();
        if (t.empty() || t == "}") break;
        bool ok = true;
        if (t == "MeshMaterialList") {
            ok = ReadMaterialList();
        } else if (t == "MeshNormals") {
            ok = ReadNormals();
        } else if (t == "MeshTextureCoords") {
            ok = ReadTextureCoords();
        } else if (t == "{") {
            m_tokens.SkipBlock(1);  // a block this reader does not know, read over whole
        }
        if (!ok) {
            m_tokens.Recover(2);
            return {};
        }
    }
    return std::move(m_mesh);
}

bool XMeshReader::ReadVectors(std::span<rm::Vector> out) {
    for (rm::Vector& v : out) {
        v.x = ToFloat(m_tokens.ReadReal());
        v.y = ToFloat(m_tokens.ReadReal());
        v.z = ToFloat(m_tokens.ReadReal());
        if (m_tokens.Mismatch()) return false;
    }
    return true;
}

bool XMeshReader::ReadGeometry(long vertexCount) {
    m_vertices.resize(static_cast<std::size_t>(vertexCount));
    if (!ReadVectors(m_vertices)) return false;
    const long faceCount = m_tokens.ReadLong();
    // A face is at least a count and three indices.
    if (m_tokens.Mismatch() || faceCount < 0 || !m_tokens.CanHold(faceCount, 4)) return false;
    m_faceCount = static_cast<std::size_t>(faceCount);
    // Triangles and quads are the rule: room for quads, more only when faces are larger.
    m_faceData.reserve(m_faceCount * 9 + 1);
    for (std::size_t f = 0; f < m_faceCount; ++f) {
        const long corners = m_tokens.ReadLong();
        if (m_tokens.Mismatch() || corners < 3 || corners > kMaxFaceCorners) return false;
        m_faceData.push_back(static_cast<std::uint32_t>(corners));
        for (long k = 0; k < corners; ++k) {
            const long index = m_tokens.ReadLong();
            if (m_tokens.Mismatch() || index < 0 || index >= vertexCount) return false;
            m_faceData.push_back(static_cast<std::uint32_t>(index));
            m_faceData.push_back(0);  // the normal index, set by MeshNormals
        }
    }
    m_faceData.push_back(0);
    return true;
}

const XMaterialEntry* XMeshReader::FindTopLevel(std::string_view name) const {
    for (const XMaterialEntry& e : m_topLevel)
        if (e.name == name) return &e;
    return nullptr;
}

// One entry of a material list: an inline "Material" block or a reference "{Name}" (also
// accepted with blanks inside the braces, as three tokens).
bool XMeshReader::ReadMeshMaterial(XMaterialEntry* out) {
    const std::string_view t = m_tokens.Next();
    if (t == "Material") {
        if (ReadMaterial(m_tokens, m_library, out)) return true;
        m_tokens.Recover(1);  // leave the material's own block; the caller leaves the list and mesh
        return false;
    }
    if (t.empty()) return false;
    std::string_view name;
    if (t == "{") {
        name = m_tokens.Next();
        if (name == "}") {
            name = {};  // "{ }"
        } else if (const std::string_view close = m_tokens.Next(); close != "}") {
            // Leave the reference's braces before the caller leaves the list and the mesh.
            m_tokens.SkipBlock(1 + (name == "{") + (close == "{"));
            return false;
        }
    } else if (t.size() >= 2) {
        name = t.substr(1, t.size() - 2);
    }
    const XMaterialEntry* found = FindTopLevel(name);
    *out = found ? *found : XMaterialEntry{};  // not found: colour 0, no material
    return true;
}

bool XMeshReader::ReadMaterialList() {
    m_tokens.Skip();  // "{"
    const long materialCount = m_tokens.ReadLong();
    const long indexCount = m_tokens.ReadLong();
    if (m_tokens.Mismatch() || materialCount < 0 || indexCount < 0 || !m_tokens.CanHold(indexCount, 1) ||
        !m_tokens.CanHold(materialCount, 1))
        return false;
    m_faceMaterials.clear();
    m_faceMaterials.reserve(static_cast<std::size_t>(indexCount));
    for (long i = 0; i < indexCount; ++i) {
        const long index = m_tokens.ReadLong();
        if (m_tokens.Mismatch() || index < 0 || index >= materialCount) return false;
        m_faceMaterials.push_back(static_cast<std::uint32_t>(index));
    }
    m_materials.clear();
    for (long i = 0; i < materialCount; ++i) {
        XMaterialEntry entry;
        if (!ReadMeshMaterial(&entry)) return false;
        if (i < kMaxMeshMaterials) m_materials.push_back(std::move(entry));
    }
    m_tokens.Skip();  // "}"
    m_materialCount = materialCount;
    m_hasMaterialList = true;
    return true;
}

bool XMeshReader::ReadNormals() {
    m_tokens.Skip();  // "{"
    const long normalCount = m_tokens.ReadLong();
    if (m_tokens.Mismatch() || normalCount < 0 || !m_tokens.CanHold(normalCount, 3)) return false;
    std::vector<rm::Vector> normals(static_cast<std::size_t>(normalCount));
    if (!ReadVectors(normals)) return false;
    const long faceCount = m_tokens.ReadLong();
    if (m_tokens.Mismatch() || faceCount < 0 || static_cast<unsigned long>(faceCount) != m_faceCount)
        return false;
    std::size_t pos = 0;
    for (std::size_t f = 0; f < m_faceCount; ++f) {
        const long corners = m_tokens.ReadLong();
        if (m_tokens.Mismatch() || corners != static_cast<long>(m_faceData[pos])) return false;
        ++pos;
        for (long k = 0; k < corners; ++k, pos += 2) {
            const long index = m_tokens.ReadLong();
            if (m_tokens.Mismatch() || index < 0 || index >= normalCount) return false;
            m_faceData[pos + 1] = static_cast<std::uint32_t>(index);
        }
    }
    rm::ObjectArray<rm::Face> faces;
    m_mesh->AddFaces(m_vertices, normals, m_faceData, &faces);
    if (m_hasMaterialList) ApplyMaterials(faces);
    m_tokens.Skip();  // "}"
    return true;
}

void XMeshReader::ApplyMaterials(const rm::ObjectArray<rm::Face>& faces) const {
    if (m_materialCount == 1) {
        m_mesh->SetColor(m_materials[0].color);
        m_mesh->SetMaterial(m_materials[0].material.Get());
        return;
    }
    // Faces past the index list keep their defaults; materials past the table's room colour
    // their faces like a missing material (colour 0, no material).
    const std::uint32_t n = std::min<std::uint32_t>(faces.GetSize(), m_faceMaterials.size());
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t index = m_faceMaterials[i];
        const rm::Ref<rm::Face> face = faces.GetElement(i);
        if (index < m_materials.size()) {
            face->SetColor(m_materials[index].color);
            face->SetMaterial(m_materials[index].material.Get());
        } else {
            face->SetColor(0);
            face->SetMaterial(nullptr);
        }
    }
}

bool XMeshReader::ReadTextureCoords() {
    m_tokens.Skip();      // "{"
    m_tokens.ReadLong();  // the count; one pair per vertex is read whatever it says
    double sumU = 0;
    double sumV = 0;
    for (std::size_t i = 0; i < m_vertices.size(); ++i) {
        const double u = m_tokens.ReadReal();
        const double v = m_tokens.ReadReal();
        if (m_tokens.Mismatch()) return false;
        m_mesh->SetTextureCoordinates(static_cast<std::uint32_t>(i), ToFloat(u), ToFloat(v));
        sumU += u;
        sumV += v;
    }
    m_mesh->SetTextureTopology(sumU > 0, sumV > 0);
    m_tokens.Skip();  // "}"
    return true;
}

}  // namespace xfile

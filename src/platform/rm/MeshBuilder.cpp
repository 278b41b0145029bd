#include "platform/rm/MeshBuilder.h"

#include <algorithm>

namespace rm {

MeshBuilder::~MeshBuilder() {
    // Faces held elsewhere outlive the mesh; they no longer have records to keep.
    for (auto& f : m_faces) f->m_mesh = nullptr;
}

void Face::Sync() {
    if (!m_mesh) return;
    FaceRecord& r = m_mesh->m_records[m_index];
    r.color = m_color;
    r.material = m_material.Get();
    r.texture = m_texture.Get();
}

std::uint32_t Face::SetColor(std::uint32_t argb) {
    m_color = argb;
    Sync();
    return D3DRM_OK;
}

std::uint32_t Face::SetMaterial(Material* m) {
    m_material.Reset(m);
    Sync();
    return D3DRM_OK;
}

std::uint32_t Face::SetTexture(Texture* t) {
    m_texture.Reset(t);
    Sync();
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::AddFaces(std::span<const Vector> vertices, std::span<const Vector> normals,
                                    std::span<const std::uint32_t> faceData, ObjectArray<Face>* outFaces) {
    // Validate everything before adding anything.
    std::size_t pos = 0;
    std::size_t newCorners = 0;
    while (pos < faceData.size() && faceData[pos] != 0) {
        const std::uint32_t n = faceData[pos++];
        if (n < 3 || n > (faceData.size() - pos) / 2) return D3DRMERR_BADVALUE;
        for (std::uint32_t k = 0; k < n; ++k) {
            const std::uint32_t vi = faceData[pos + 2 * k];
            const std::uint32_t ni = faceData[pos + 2 * k + 1];
            if (vi >= vertices.size() || (ni >= normals.size() && !normals.empty())) return D3DRMERR_BADVALUE;
        }
        pos += 2 * std::size_t(n);
        newCorners += n;
    }
    const std::uint32_t vBase = GetVertexCount();
    const std::uint32_t nBase = GetNormalCount();
    m_vertices.insert(m_vertices.end(), vertices.begin(), vertices.end());
    m_texCoords.resize(m_vertices.size());
    m_normals.insert(m_normals.end(), normals.begin(), normals.end());
    // Without normals every corner refers to a zero normal added for the purpose.
    std::uint32_t zeroNormal = 0;
    if (normals.empty() && newCorners > 0) {
        zeroNormal = GetNormalCount();
        m_normals.push_back({});
    }
    m_corners.reserve(m_corners.size() + newCorners);
    m_faces.reserve(m_faces.size() + (faceData.size() + 6) / 7);
    m_records.reserve(m_faces.capacity());
    pos = 0;
    while (pos < faceData.size() && faceData[pos] != 0) {
        const std::uint32_t n = faceData[pos++];
        const auto first = static_cast<std::uint32_t>(m_corners.size());
        for (std::uint32_t k = 0; k < n; ++k) {
            const std::uint32_t vi = faceData[pos + 2 * k];
            const std::uint32_t ni = faceData[pos + 2 * k + 1];
            m_corners.push_back({vBase + vi, normals.empty() ? zeroNormal : nBase + ni});
        }
        pos += 2 * std::size_t(n);
        Ref<Face> face = Ref<Face>::Adopt(new Face(m_registry, this, GetFaceCount(), first, n));
        m_records.push_back({first, n, face->GetColor(), nullptr, nullptr});
        if (outFaces) outFaces->Append(face);
        m_faces.push_back(std::move(face));
    }
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::AddFaces(std::uint32_t vertexCount, const Vector* vertices,
                                    std::uint32_t normalCount, const Vector* normals,
                                    const std::uint32_t* faceData, ObjectArray<Face>* outFaces) {
    if ((vertexCount && !vertices) || (normalCount && !normals) || !faceData) return D3DRMERR_BADVALUE;
    // The face data ends at its 0 count; find it by walking the counts.
    std::size_t len = 0;
    while (faceData[len] != 0) len += 1 + 2 * std::size_t(faceData[len]);
    return AddFaces(std::span(vertices, vertexCount), std::span(normals, normalCount),
                    std::span(faceData, len + 1), outFaces);
}

std::vector<std::uint32_t> MeshBuilder::FaceData() const {
    std::vector<std::uint32_t> d;
    d.reserve(m_faces.size() + 2 * m_corners.size() + 1);
    for (const auto& f : m_faces) {
        d.push_back(f->GetVertexCount());
        for (std::uint32_t k = 0; k < f->GetVertexCount(); ++k) {
            const Corner& c = m_corners[f->FirstCorner() + k];
            d.push_back(c.vertex);
            d.push_back(c.normal);
        }
    }
    d.push_back(0);
    return d;
}

std::uint32_t MeshBuilder::GetVertices(std::uint32_t* vertexCount, Vector* vertices,
                                       std::uint32_t* normalCount, Vector* normals,
                                       std::uint32_t* faceDataSize, std::uint32_t* faceData) const {
    const std::vector<std::uint32_t> data = FaceData();
    if (vertices && (!vertexCount || *vertexCount < m_vertices.size())) return D3DRMERR_BADVALUE;
    if (normals && (!normalCount || *normalCount < m_normals.size())) return D3DRMERR_BADVALUE;
    if (faceData && (!faceDataSize || *faceDataSize < data.size())) return D3DRMERR_BADVALUE;
    if (vertices) std::copy(m_vertices.begin(), m_vertices.end(), vertices);
    if (normals) std::copy(m_normals.begin(), m_normals.end(), normals);
    if (faceData) std::copy(data.begin(), data.end(), faceData);
    if (vertexCount) *vertexCount = GetVertexCount();
    if (normalCount) *normalCount = GetNormalCount();
    if (faceDataSize) *faceDataSize = static_cast<std::uint32_t>(data.size());
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::SetVertex(std::uint32_t i, float x, float y, float z) {
    if (i >= m_vertices.size()) return D3DRMERR_BADVALUE;
    m_vertices[i] = {x, y, z};
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::SetNormal(std::uint32_t i, float x, float y, float z) {
    if (i >= m_normals.size()) return D3DRMERR_BADVALUE;
    m_normals[i] = {x, y, z};
    return D3DRM_OK;
}

ObjectArray<Face> MeshBuilder::GetFaces() const {
    ObjectArray<Face> a;
    for (const auto& f : m_faces) a.Append(f);
    return a;
}

std::uint32_t MeshBuilder::SetColor(std::uint32_t argb) {
    for (auto& f : m_faces) f->SetColor(argb);
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::SetMaterial(Material* material) {
    for (auto& f : m_faces) f->SetMaterial(material);
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::SetTexture(Texture* texture) {
    for (auto& f : m_faces) f->SetTexture(texture);
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::SetTextureCoordinates(std::uint32_t vertex, float u, float v) {
    if (vertex >= m_texCoords.size()) return D3DRMERR_BADVALUE;
    m_texCoords[vertex] = {u, v};
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::GetTextureCoordinates(std::uint32_t vertex, float* u, float* v) const {
    if (vertex >= m_texCoords.size() || !u || !v) return D3DRMERR_BADVALUE;
    *u = m_texCoords[vertex].u;
    *v = m_texCoords[vertex].v;
    return D3DRM_OK;
}

std::uint32_t MeshBuilder::GetBox(Box* out) const {
    if (!out) return D3DRMERR_BADVALUE;
    if (m_vertices.empty()) {
        *out = Box{};
        return D3DRMERR_NOTFOUND;
    }
    Box b{m_vertices[0], m_vertices[0]};
    for (const Vector& p : m_vertices) {
        b.min = {std::min(b.min.x, p.x), std::min(b.min.y, p.y), std::min(b.min.z, p.z)};
        b.max = {std::max(b.max.x, p.x), std::max(b.max.y, p.y), std::max(b.max.z, p.z)};
    }
    *out = b;
    return D3DRM_OK;
}

}  // namespace rm

#include "render/smooth/SmoothMesh.h"

#include "platform/rm/Frame.h"
#include "platform/rm/VectorMath.h"

std::uint32_t FindFirstNormal(const std::vector<std::uint32_t>& faces, std::uint32_t vertex) {
    std::size_t pos = 0;
    while (pos < faces.size()) {
        const std::uint32_t count = faces[pos];
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::size_t at = pos + 1 + 2 * std::size_t{k};
            if (at + 1 >= faces.size()) return SmoothMesh::kNoNormal;  // a face cut short
            if (faces[at] == vertex) return faces[at + 1];
        }
        pos += 1 + 2 * std::size_t{count};
        if (pos < faces.size() && faces[pos] == 0) break;
        if (count == 0) break;
    }
    return SmoothMesh::kNoNormal;
}

namespace {

// The first normal of every vertex in one walk over the faces (same order and stop rule as
// FindFirstNormal).
std::vector<std::uint32_t> FirstNormals(const std::vector<std::uint32_t>& faces, std::size_t vertexCount,
                                        std::size_t normalCount) {
    // Unseen vertices hold a mark of their own until the walk ends.
    constexpr std::uint32_t kUnseen = SmoothMesh::kNoNormal - 1;
    std::vector<std::uint32_t> first(vertexCount, kUnseen);
    std::size_t pos = 0;
    while (pos < faces.size()) {
        const std::uint32_t count = faces[pos];
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::size_t at = pos + 1 + 2 * std::size_t{k};
            if (at + 1 >= faces.size()) break;
            const std::uint32_t v = faces[at];
            if (v < vertexCount && first[v] == kUnseen) {
                // A normal index past the normals counts as no normal: it could not be written.
                first[v] = faces[at + 1] < normalCount ? faces[at + 1] : SmoothMesh::kNoNormal;
            }
        }
        pos += 1 + 2 * std::size_t{count};
        if ((pos < faces.size() && faces[pos] == 0) || count == 0) break;
    }
    for (auto& f : first)
        if (f == kUnseen) f = SmoothMesh::kNoNormal;
    return first;
}

}  // namespace

SmoothMesh MakeSmoothMesh(rm::MeshBuilder& mesh, const rm::Frame& frame) {
    SmoothMesh m;
    m.mesh = rm::Ref<rm::MeshBuilder>(&mesh);
    std::uint32_t vertexCount = mesh.GetVertexCount(), normalCount = mesh.GetNormalCount();
    m.vertices.resize(vertexCount);
    m.normals.resize(normalCount);
    mesh.GetVertices(&vertexCount, m.vertices.data(), &normalCount, m.normals.data(), nullptr, nullptr);
    m.faceData = mesh.FaceData();
    // The frame's Transform, with its world matrix taken once for all vertices.
    const rm::Matrix4 toWorld = frame.WorldMatrix();
    for (auto& v : m.vertices) v = rm::TransformPoint(v, toWorld);
    rm::Box box;
    mesh.GetBox(&box);
    box.max = {box.max.x + 0.1f, box.max.y + 0.1f, box.max.z + 0.1f};
    box.min = {box.min.x - 0.1f, box.min.y - 0.1f, box.min.z - 0.1f};
    frame.Transform(&m.boxMax, &box.max);
    frame.Transform(&m.boxMin, &box.min);
    m.firstNormal = FirstNormals(m.faceData, m.vertices.size(), m.normals.size());
    return m;
}

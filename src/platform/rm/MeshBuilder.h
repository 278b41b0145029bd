#pragma once
// A mesh builder: vertices, normals (a separate array), texture coordinates per vertex, and faces.
//
// Face data (AddFaces input and GetVertices output): per face a corner count n, then n pairs
// (vertex index, normal index); a count of 0 ends the list. Faces run clockwise on screen when
// they face the camera; polygons of more than three corners are drawn as triangle fans.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/rm/Face.h"
#include "platform/rm/Visual.h"

namespace rm {

struct Corner {
    std::uint32_t vertex;
    std::uint32_t normal;
};

struct TexCoord {
    float u = 0, v = 0;
};

// What the rasteriser reads of a face, kept beside the corners so that drawing a mesh walks
// plain arrays instead of one object per face. The face objects keep it up to date; the
// material and texture stay alive through the face, which the mesh holds.
struct FaceRecord {
    std::uint32_t firstCorner;
    std::uint32_t cornerCount;
    std::uint32_t color;
    const Material* material;
    const Texture* texture;
};

class MeshBuilder : public Visual {
  public:
    const char* GetClassName() const override { return "MeshBuilder"; }

    // Appends the vertices and normals and the faces of `faceData` (indices relative to the arrays
    // passed here). Refused as a whole, with nothing added, when a face has fewer than three
    // corners, an index is out of range or the data ends inside a face. The new faces go to
    // `outFaces` when given.
    std::uint32_t AddFaces(std::span<const Vector> vertices, std::span<const Vector> normals,
                           std::span<const std::uint32_t> faceData, ObjectArray<Face>* outFaces = nullptr);
    // The platform's form: counts and pointers.
    std::uint32_t AddFaces(std::uint32_t vertexCount, const Vector* vertices, std::uint32_t normalCount,
                           const Vector* normals, const std::uint32_t* faceData, ObjectArray<Face>* outFaces);
    // Counts, then (with arrays) contents: *vertexCount / *normalCount / *faceDataSize give the
    // room in the arrays on entry (ignored when the array is null) and the sizes on return. Fails
    // when an array given is too small.
    std::uint32_t GetVertices(std::uint32_t* vertexCount, Vector* vertices, std::uint32_t* normalCount,
                              Vector* normals, std::uint32_t* faceDataSize, std::uint32_t* faceData) const;
    std::vector<std::uint32_t> FaceData() const;

    std::uint32_t SetVertex(std::uint32_t i, float x, float y, float z);
    std::uint32_t SetNormal(std::uint32_t i, float x, float y, float z);
    std::uint32_t GetVertexCount() const { return static_cast<std::uint32_t>(m_vertices.size()); }
    std::uint32_t GetNormalCount() const { return static_cast<std::uint32_t>(m_normals.size()); }
    std::uint32_t GetFaceCount() const { return static_cast<std::uint32_t>(m_faces.size()); }
    Ref<Face> GetFace(std::uint32_t i) const { return i < m_faces.size() ? m_faces[i] : Ref<Face>(); }
    ObjectArray<Face> GetFaces() const;

    // Every face.
    std::uint32_t SetColor(std::uint32_t argb);
    std::uint32_t SetColorRGB(float r, float g, float b) { return SetColor(CreateColorRGB(r, g, b)); }
    std::uint32_t SetMaterial(Material* material);
    std::uint32_t SetTexture(Texture* texture);

    std::uint32_t SetTextureCoordinates(std::uint32_t vertex, float u, float v);
    std::uint32_t GetTextureCoordinates(std::uint32_t vertex, float* u, float* v) const;
    // Wrap flags: interpolation takes the short way across the seam in u and/or v.
    std::uint32_t SetTextureTopology(bool wrapU, bool wrapV) {
        m_wrapU = wrapU;
        m_wrapV = wrapV;
        return D3DRM_OK;
    }
    bool WrapU() const { return m_wrapU; }
    bool WrapV() const { return m_wrapV; }

    // Min/max of the vertices; fails and gives the zero box when there are none.
    std::uint32_t GetBox(Box* out) const;

    const std::vector<Vector>& Vertices() const { return m_vertices; }
    const std::vector<Vector>& Normals() const { return m_normals; }
    const std::vector<TexCoord>& TexCoords() const { return m_texCoords; }
    const std::vector<Corner>& Corners() const { return m_corners; }
    const std::vector<Ref<Face>>& Faces() const { return m_faces; }
    const std::vector<FaceRecord>& FaceRecords() const { return m_records; }

  private:
    friend class Library;
    friend class Face;
    ~MeshBuilder() override;
    explicit MeshBuilder(std::shared_ptr<ObjectRegistry> registry)
        : Visual(registry), m_registry(std::move(registry)) {}

    std::shared_ptr<ObjectRegistry> m_registry;
    std::vector<Vector> m_vertices;
    std::vector<Vector> m_normals;
    std::vector<TexCoord> m_texCoords;
    std::vector<Corner> m_corners;
    std::vector<Ref<Face>> m_faces;
    std::vector<FaceRecord> m_records;
    bool m_wrapU = false;
    bool m_wrapV = false;
};

}  // namespace rm

#pragma once
// A "Mesh" block: the vertex list and faces, then its MeshMaterialList, MeshNormals and
// MeshTextureCoords blocks, built into one mesh builder. The faces reach the builder in one AddFaces
// call when MeshNormals is read (a mesh without normals has no faces); a material list only has
// effect when it comes before the normals, texture coordinates only when they come after.
//
// Counts are checked against the text that remains before anything is allocated, and every index
// against what it indexes. A mesh whose counts and contents disagree (a face count larger than
// the faces given, an index past the vertices or normals, a material index past the material list,
// a face of fewer than 3 or more than 6 corners, normals for other faces than the mesh has) is
// dropped as a whole: its remaining tokens are read over and no mesh builder results.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/rm/Library.h"
#include "xfile/XMaterialReader.h"

namespace xfile {

class XTokenizer;

class XMeshReader {
  public:
    // `topLevel`: the file's top-level materials, which a material list may name.
    XMeshReader(XTokenizer& tokens, rm::Library& library, std::span<const XMaterialEntry> topLevel);

    // Reads a mesh after its keyword. Null when it was skipped (fewer than 3 vertices) or dropped.
    rm::Ref<rm::MeshBuilder> Read();

  private:
    bool ReadGeometry(long vertexCount);
    // x, y, z per element; false at a mismatch.
    bool ReadVectors(std::span<rm::Vector> out);
    bool ReadMaterialList();
    bool ReadMeshMaterial(XMaterialEntry* out);
    bool ReadNormals();
    bool ReadTextureCoords();
    void ApplyMaterials(const rm::ObjectArray<rm::Face>& faces) const;
    const XMaterialEntry* FindTopLevel(std::string_view name) const;

    XTokenizer& m_tokens;
    rm::Library& m_library;
    std::span<const XMaterialEntry> m_topLevel;

    rm::Ref<rm::MeshBuilder> m_mesh;
    std::vector<rm::Vector> m_vertices;
    // AddFaces layout: per face its corner count, then (vertex, normal) per corner; 0 ends it.
    std::vector<std::uint32_t> m_faceData;
    std::size_t m_faceCount = 0;

    bool m_hasMaterialList = false;
    long m_materialCount = 0;
    std::vector<std::uint32_t> m_faceMaterials;  // material index per face, each below m_materialCount
    std::vector<XMaterialEntry> m_materials;     // the first kMaxMeshMaterials of the list
};

}  // namespace xfile

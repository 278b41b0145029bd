#pragma once
// One face of a mesh builder: its corners (vertex index, normal index) live in the mesh; the face
// carries its own colour (0xAARRGGBB, alpha = opacity), material and texture.

#include <cstdint>

#include "platform/rm/Material.h"
#include "platform/rm/Object.h"
#include "platform/rm/Texture.h"

namespace rm {

class MeshBuilder;

class Face : public Object {
  public:
    const char* GetClassName() const override { return "Face"; }
    std::uint32_t SetColor(std::uint32_t argb);
    std::uint32_t SetColorRGB(float r, float g, float b) { return SetColor(CreateColorRGB(r, g, b)); }
    std::uint32_t GetColor() const { return m_color; }
    std::uint32_t SetMaterial(Material* m);
    Ref<Material> GetMaterial() const { return m_material; }
    Material* MaterialPtr() const { return m_material.Get(); }
    std::uint32_t SetTexture(Texture* t);
    Ref<Texture> GetTexture() const { return m_texture; }
    Texture* TexturePtr() const { return m_texture.Get(); }
    std::uint32_t GetVertexCount() const { return m_cornerCount; }
    // Offset of the face's first corner in its mesh's corner arrays.
    std::uint32_t FirstCorner() const { return m_firstCorner; }

  private:
    friend class MeshBuilder;
    Face(std::shared_ptr<ObjectRegistry> registry, MeshBuilder* mesh, std::uint32_t index,
         std::uint32_t first, std::uint32_t count)
        : Object(std::move(registry)),
          m_mesh(mesh),
          m_index(index),
          m_firstCorner(first),
          m_cornerCount(count) {}
    // Copies colour, material and texture into the mesh's render record of this face.
    void Sync();

    MeshBuilder* m_mesh;  // not owned; cleared when the mesh goes before the face
    std::uint32_t m_index;
    std::uint32_t m_firstCorner;
    std::uint32_t m_cornerCount;
    std::uint32_t m_color = 0xFFFFFFFF;
    Ref<Material> m_material;
    Ref<Texture> m_texture;
};

}  // namespace rm

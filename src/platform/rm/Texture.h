#pragma once
// A texture: 32-bit texels 0xAARRGGBB, row 0 at the top of the image (v grows downwards).

#include <cstdint>
#include <span>
#include <vector>

#include "platform/rm/Object.h"

namespace rm {

class Texture : public Object {
  public:
    const char* GetClassName() const override { return "Texture"; }
    std::uint32_t Width() const { return m_width; }
    std::uint32_t Height() const { return m_height; }
    const std::vector<std::uint32_t>& Texels() const { return m_texels; }
    std::uint32_t Texel(std::uint32_t x, std::uint32_t y) const {
        return m_texels[std::size_t(y) * m_width + x];
    }

  private:
    friend class Library;
    Texture(std::shared_ptr<ObjectRegistry> registry, std::uint32_t w, std::uint32_t h,
            std::vector<std::uint32_t> texels)
        : Object(std::move(registry)), m_width(w), m_height(h), m_texels(std::move(texels)) {}
    std::uint32_t m_width;
    std::uint32_t m_height;
    std::vector<std::uint32_t> m_texels;
};

}  // namespace rm

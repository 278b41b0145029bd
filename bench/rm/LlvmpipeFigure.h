#pragma once
// The reference beside our rasteriser: Mesa's software rasteriser (llvmpipe, reached through
// OSMesa) drawing the benchmark's figure, the same triangles with the same lights and lens, into a
// 32-bit BGRA buffer of the same size with a depth buffer. Only the benchmark links OSMesa.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rm/Types.h"

namespace rmbench {

// One mesh in the figure's own coordinates (left-handed, +z into the screen, as our library has
// them): a vertex per distinct (position, normal) pair of its corners and three indices a triangle.
struct GlMesh {
    std::vector<float> positions;  // x, y, z
    std::vector<float> normals;    // x, y, z
    std::vector<std::uint32_t> triangles;
    rm::Vector offset;  // where the mesh stands, seen from the camera at the origin
};

struct GlLights {
    float ambient;           // grey level 0..1
    rm::Vector sunDirection;  // the direction the sun shines along
    float sun;               // grey level
    rm::Vector lampPosition;
    float lamp;  // grey level
};

struct GlLook {
    float r, g, b;  // diffuse colour 0..1
    float power;    // specular (1, 1, 1) to this power
};

class LlvmpipeFigure {
  public:
    // front, back and field as our viewports take them. Null Context() when OSMesa gives no context.
    LlvmpipeFigure(std::uint32_t width, std::uint32_t height, float front, float back, float field,
                   const std::vector<GlMesh>& meshes, const GlLights& lights, const GlLook& look);
    ~LlvmpipeFigure();
    LlvmpipeFigure(const LlvmpipeFigure&) = delete;
    LlvmpipeFigure& operator=(const LlvmpipeFigure&) = delete;

    bool Ready() const { return m_ready; }
    // Clears colour and depth, draws every mesh and waits until the pixels are in the buffer.
    void Render();
    const std::uint32_t* Pixels() const { return m_pixels.data(); }
    // The renderer's name as GL gives it ("llvmpipe (LLVM …)"), and the rasteriser threads.
    std::string Renderer() const;
    static unsigned RasterThreads();

  private:
    struct Context;
    std::unique_ptr<Context> m_context;
    std::vector<std::uint32_t> m_pixels;
    bool m_ready = false;
};

}  // namespace rmbench

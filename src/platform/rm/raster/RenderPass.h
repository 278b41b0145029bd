#pragma once
// One Viewport::Render call: walks the hierarchy, lights and transforms every mesh, clips, sets
// up and rasterises its triangles into the device's target (see the stage files beside this one).

#include "platform/rm/Frame.h"

namespace rm {
class Viewport;
}

namespace rm::raster {

// Depth of a cleared z-buffer: farther than anything drawn (depth lies in [0, 1]).
constexpr float kDepthClear = 2.0f;

class RenderPass {
  public:
    explicit RenderPass(Viewport& viewport) : m_viewport(viewport) {}
    void Run(Frame& root);

  private:
    Viewport& m_viewport;
};

}  // namespace rm::raster

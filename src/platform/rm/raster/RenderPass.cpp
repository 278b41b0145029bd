#include "platform/rm/raster/RenderPass.h"

#include "platform/rm/Viewport.h"

namespace rm::raster {

void RenderPass::Run(Frame& root) {
    (void)root;
}

}  // namespace rm::raster

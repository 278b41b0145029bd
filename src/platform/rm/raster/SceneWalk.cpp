#include "platform/rm/raster/SceneWalk.h"

#include "platform/rm/VectorMath.h"

namespace rm::raster {

namespace {

void Walk(const Frame& f, const Matrix4& world, SceneContents& out) {
    for (const auto& l : f.Lights()) {
        const std::uint32_t c = l->GetColor();
        SceneLight s;
        s.type = l->GetType();
        s.color = {float((c >> 16) & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f,
                   float(c & 0xFF) / 255.0f};
        s.position = {world.m[3][0], world.m[3][1], world.m[3][2]};
        s.direction = Normalized({world.m[2][0], world.m[2][1], world.m[2][2]});
        out.lights.push_back(s);
    }
    for (const auto& v : f.Visuals())
        if (const auto* mesh = dynamic_cast<const MeshBuilder*>(v.Get()); mesh && mesh->GetFaceCount() > 0)
            out.meshes.push_back({mesh, world});
    for (const auto& c : f.Children()) Walk(*c, Multiply(c->LocalMatrix(), world), out);
}

}  // namespace

SceneContents WalkScene(const Frame& root) {
    SceneContents out;
    Walk(root, root.WorldMatrix(), out);
    return out;
}

}  // namespace rm::raster

#pragma once
// A frame: a node of the scene hierarchy with its own matrix (rows 0-2 its axes in the parent,
// row 3 its origin). A frame holds references to its children, visuals and lights, so they live
// while it does; the child's back pointer to its parent owns nothing.
//
// A null reference frame in the position and orientation calls means the frame's parent (or the
// world for a frame without parent).

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/rm/Light.h"
#include "platform/rm/Object.h"
#include "platform/rm/Types.h"
#include "platform/rm/Visual.h"

namespace rm {

class Frame : public Object {
  public:
    const char* GetClassName() const override { return "Frame"; }

    // Moves `child` under this frame keeping its own matrix (it now follows this frame). Refused
    // for null, for this frame itself and for an ancestor of this frame (it would make a cycle).
    std::uint32_t AddChild(Frame* child);
    // Detaches a child (which then has no parent); fails when it is not a child.
    std::uint32_t DeleteChild(Frame* child);
    Ref<Frame> GetParent() const { return Ref<Frame>(m_parent); }
    Frame* Parent() const { return m_parent; }
    ObjectArray<Frame> GetChildren() const;
    const std::vector<Ref<Frame>>& Children() const { return m_children; }

    std::uint32_t AddVisual(Visual* visual);
    std::uint32_t DeleteVisual(Visual* visual);
    ObjectArray<Visual> GetVisuals() const;
    const std::vector<Ref<Visual>>& Visuals() const { return m_visuals; }

    std::uint32_t AddLight(Light* light);
    std::uint32_t DeleteLight(Light* light);
    ObjectArray<Light> GetLights() const;
    const std::vector<Ref<Light>>& Lights() const { return m_lights; }

    // Places the origin at (x, y, z) in `ref`'s coordinates; the orientation is unchanged.
    std::uint32_t SetPosition(const Frame* ref, float x, float y, float z);
    std::uint32_t GetPosition(const Frame* ref, Vector* out) const;
    // z axis := dir, y axis := the part of up perpendicular to dir (both in `ref`'s coordinates),
    // x := y x z. Refused (nothing changes) when dir is zero or up is parallel to it.
    std::uint32_t SetOrientation(const Frame* ref, float dx, float dy, float dz, float ux, float uy,
                                 float uz);
    std::uint32_t GetOrientation(const Frame* ref, Vector* dir, Vector* up) const;

    // Angular velocity: axis in `ref`'s coordinates, theta radians per unit of Move. A zero axis
    // or angle stops the rotation.
    std::uint32_t SetRotation(const Frame* ref, float x, float y, float z, float theta);
    // Turns the frame about its own origin by theta * delta about the rotation axis (in the
    // parent's coordinates): new 3x3 = old 3x3 * R(axis, theta * delta).
    std::uint32_t Move(float delta);

    // REPLACE: T = M; BEFORE: T = M * T; AFTER: T = T * M.
    std::uint32_t AddTransform(CombineType type, const Matrix4& m);
    std::uint32_t AddTranslation(CombineType type, float x, float y, float z);
    std::uint32_t AddRotation(CombineType type, float x, float y, float z, float theta);
    std::uint32_t AddScale(CombineType type, float sx, float sy, float sz);
    std::uint32_t GetTransform(Matrix4* out) const;
    const Matrix4& LocalMatrix() const { return m_matrix; }
    // Local to world: this frame's matrix times its ancestors'.
    Matrix4 WorldMatrix() const;

    // Local point -> world point, and back; exact inverses of each other.
    std::uint32_t Transform(Vector* dst, const Vector* src) const;
    std::uint32_t InverseTransform(Vector* dst, const Vector* src) const;

    // A box set by the caller; GetBox fails without one.
    std::uint32_t SetBox(const Box* box);
    std::uint32_t GetBox(Box* out) const;
    // The box of every mesh vertex of this frame's visuals and all descendant frames, in this
    // frame's coordinates. Fails and gives the zero box when there is no mesh below.
    std::uint32_t GetHierarchyBox(Box* out) const;

  private:
    friend class Library;
    explicit Frame(std::shared_ptr<ObjectRegistry> registry) : Object(std::move(registry)) {}
    ~Frame() override;

    // Matrix taking this frame's parent coordinates to `ref`'s (ref null: identity).
    Matrix4 ParentToWorld() const;
    static Matrix4 RefToWorld(const Frame* ref, const Frame* self);
    bool IsAncestorOf(const Frame* f) const;
    void GrowHierarchyBox(const Matrix4& toThis, Box& box, bool& any) const;

    Frame* m_parent = nullptr;
    std::vector<Ref<Frame>> m_children;
    std::vector<Ref<Visual>> m_visuals;
    std::vector<Ref<Light>> m_lights;
    Matrix4 m_matrix;
    std::optional<Box> m_box;
    Vector m_rotationAxis;  // in the parent's coordinates
    float m_rotationTheta = 0;
};

}  // namespace rm

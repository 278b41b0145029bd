#pragma once
// An animation drives one frame from time-stamped keys: position and scale interpolate
// linearly, rotation by spherical linear interpolation (shorter arc). Keys are kept sorted by
// time; keys of equal time keep their insertion order. With CLOSED the animation loops over
// [first key, last key]; otherwise the time is clamped to that range.

#include <cstdint>
#include <vector>

#include "platform/rm/Frame.h"
#include "platform/rm/Object.h"

namespace rm {

class Animation : public Object {
  public:
    const char* GetClassName() const override { return "Animation"; }
    std::uint32_t SetOptions(std::uint32_t options) {
        m_options = options;
        return D3DRM_OK;
    }
    std::uint32_t GetOptions() const { return m_options; }
    // The animated frame (held by a reference while bound).
    std::uint32_t SetFrame(Frame* frame) {
        m_frame.Reset(frame);
        return D3DRM_OK;
    }
    Frame* GetFrame() const { return m_frame.Get(); }

    std::uint32_t AddPositionKey(float time, float x, float y, float z);
    std::uint32_t AddScaleKey(float time, float x, float y, float z);
    std::uint32_t AddRotateKey(float time, const Quaternion& q);
    std::uint32_t DeleteKey(float time);

    // Sets the frame's matrix for time t: scale, then rotation (with SCALEANDROTATION), then the
    // position as origin (with POSITION). Without keys of a kind that part is left as it is.
    std::uint32_t SetTime(float t);

    // Interpolated values at t (false when there are no keys of that kind).
    bool PositionAt(float t, Vector* out) const;
    bool ScaleAt(float t, Vector* out) const;
    bool RotationAt(float t, Quaternion* out) const;

  private:
    friend class Library;
    explicit Animation(std::shared_ptr<ObjectRegistry> registry) : Object(std::move(registry)) {}

    template <class V>
    struct Key {
        float time;
        V value;
    };
    template <class V>
    static void Insert(std::vector<Key<V>>& keys, float time, const V& value);
    float MapTime(float t) const;

    std::uint32_t m_options = D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION;
    Ref<Frame> m_frame;
    std::vector<Key<Vector>> m_position;
    std::vector<Key<Vector>> m_scale;
    std::vector<Key<Quaternion>> m_rotation;
};

class AnimationSet : public Object {
  public:
    const char* GetClassName() const override { return "AnimationSet"; }
    std::uint32_t AddAnimation(Animation* a);
    std::uint32_t DeleteAnimation(Animation* a);
    // Sets every animation of the set to time t.
    std::uint32_t SetTime(float t);
    const std::vector<Ref<Animation>>& Animations() const { return m_animations; }

  private:
    friend class Library;
    explicit AnimationSet(std::shared_ptr<ObjectRegistry> registry) : Object(std::move(registry)) {}
    std::vector<Ref<Animation>> m_animations;
};

}  // namespace rm

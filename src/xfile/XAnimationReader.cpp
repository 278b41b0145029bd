#include "xfile/XAnimationReader.h"

#include "xfile/XNumber.h"
#include "xfile/XTokenizer.h"

namespace xfile {

namespace {

constexpr std::uint32_t kAnimationOptions = rm::D3DRMANIMATION_CLOSED | rm::D3DRMANIMATION_LINEARPOSITION |
                                            rm::D3DRMANIMATION_SCALEANDROTATION | rm::D3DRMANIMATION_POSITION;

rm::Frame* FindFrame(std::span<const XFrameEntry> frames, std::string_view name) {
    for (const XFrameEntry& e : frames)
        if (e.name == name) return e.frame.Get();
    return nullptr;
}

// "{Name}" as one token, or "{", Name, "}" written with blanks.
std::string_view ReadReference(XTokenizer& tokens) {
    const std::string_view t = tokens.Next();
    if (t == "{") {
        const std::string_view name = tokens.Next();
        tokens.Skip();  // "}"
        return name;
    }
    return t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string_view{};
}

// An "AnimationKey" block after its keyword. Key type 0: rotation (s, x, y, z); 1: scale; 2:
// position; any other type has no values that are read.
void ReadKeys(XTokenizer& tokens, rm::Animation& animation) {
    tokens.Skip();  // "{"
    const long type = tokens.ReadLong();
    const long count = tokens.ReadLong();
    for (long i = 0; i < count && !tokens.Failed(); ++i) {
        const float time = static_cast<float>(tokens.ReadLong());
        tokens.ReadLong();  // the number of values
        if (type == 0) {
            rm::Quaternion q;
            q.s = ToFloat(tokens.ReadReal());
            q.v.x = ToFloat(tokens.ReadReal());
            q.v.y = ToFloat(tokens.ReadReal());
            q.v.z = ToFloat(tokens.ReadReal());
            if (!tokens.Mismatch()) animation.AddRotateKey(time, q);
        } else if (type == 1 || type == 2) {
            const float x = ToFloat(tokens.ReadReal());
            const float y = ToFloat(tokens.ReadReal());
            const float z = ToFloat(tokens.ReadReal());
            if (tokens.Mismatch()) break;
            if (type == 1)
                animation.AddScaleKey(time, x, y, z);
            else
                animation.AddPositionKey(time, x, y, z);
        }
    }
    if (tokens.Mismatch()) {
        tokens.Recover(1);  // the rest of the key block
        return;
    }
    tokens.Skip();  // "}"
}

void ReadAnimation(XTokenizer& tokens, rm::Library& library, rm::AnimationSet& set,
                   std::span<const XFrameEntry> frames) {
    if (tokens.Next() != "{") tokens.Skip();  // the animation's name, then "{"
    rm::Frame* frame = FindFrame(frames, ReadReference(tokens));
    if (!frame) return;
    rm::Ref<rm::Animation> animation = library.CreateAnimation();
    if (!animation) return;
    set.AddAnimation(animation.Get());
    animation->SetOptions(kAnimationOptions);
    animation->SetFrame(frame);
    for (;;) {
        const std::string_view t = tokens.Next();
        if (t.empty() || t == "}") return;
        if (t == "AnimationKey") ReadKeys(tokens, *animation);
    }
}

}  // namespace

void ReadAnimationSet(XTokenizer& tokens, rm::Library& library, rm::AnimationSet& set,
                      std::span<const XFrameEntry> frames) {
    tokens.Skip();  // "{", or the set's name (its "{" is then read over by the loop)
    for (;;) {
        const std::string_view t = tokens.Next();
        if (t.empty() || t == "}") break;
        if (t == "Animation") ReadAnimation(tokens, library, set, frames);
    }
    tokens.Skip();
}

}  // namespace xfile

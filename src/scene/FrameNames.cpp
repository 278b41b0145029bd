#include "scene/FrameNames.h"

#include <cstdio>

#include "base/Cp932.h"

namespace scene {
namespace {
std::uint32_t g_frameNameCounter = 0;
}

std::string NormaliseFrameName(std::string_view name) {
    name = name.substr(0, std::min(name.size(), kMaxFrameName));
    const std::size_t at = cp932::FindChar(name, '@');
    if (at != std::string_view::npos) name = name.substr(0, at);
    if (name.starts_with("X3DS_")) name.remove_prefix(5);
    if (name.starts_with("FRM-")) name.remove_prefix(4);
    return std::string(name);
}

std::string ReadFrameName(const rm::Frame& frame) {
    char buffer[kMaxFrameName + 1];
    std::uint32_t size = sizeof buffer;
    if (!rm::Succeeded(frame.GetName(&size, buffer))) return "?";
    return std::string(buffer);
}

std::uint32_t FrameNameCounter() {
    return g_frameNameCounter;
}
void SetFrameNameCounter(std::uint32_t value) {
    g_frameNameCounter = value;
}

std::string FrameNameSuffix(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "@%04lu", static_cast<unsigned long>(value));
    return text;
}

}  // namespace scene

namespace {

rm::Frame* FindNormalised(const std::string& wanted, rm::Frame* frame) {
    if (cp932::EqualsNoCase(scene::NormaliseFrameName(scene::ReadFrameName(*frame)), wanted)) return frame;
    for (const auto& child : frame->Children())
        if (rm::Frame* found = FindNormalised(wanted, child.Get())) return found;
    return nullptr;
}

}  // namespace

rm::Ref<rm::Frame> FindFrameByName(std::string_view name, rm::Frame* start) {
    if (!start) return nullptr;
    return rm::Ref<rm::Frame>(FindNormalised(scene::NormaliseFrameName(name), start));
}

void MakeFrameNamesUnique(rm::Frame* frame, std::uint32_t tag) {
    if (!frame) return;
    for (const auto& child : frame->Children()) {
        child->SetAppData(tag);
        char buffer[256];
        std::uint32_t size = sizeof buffer;
        // A name too long for the buffer is left as it is (it cannot be read to extend it).
        if (rm::Succeeded(child->GetName(&size, buffer))) {
            const std::string name(buffer);
            if (cp932::FindChar(name, '@') == std::string::npos) {
                std::uint32_t& counter = scene::g_frameNameCounter;
                child->SetName(name + scene::FrameNameSuffix(counter));
                ++counter;
            }
        }
        MakeFrameNamesUnique(child.Get(), tag);
    }
}

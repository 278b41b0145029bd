#include "RmThumbnail.h"

#include <algorithm>
#include <functional>

#include "platform/rm/Library.h"
#include "platform/surface/Surface.h"
#include "xfile/XFileReader.h"

namespace datagen {

namespace {

constexpr float kFront = 1.0f, kField = 0.35f;

rm::Ref<rm::Frame> FindByName(rm::Frame* f, const std::string& name) {
    if (f->GetName() == name) return rm::Ref<rm::Frame>(f);
    for (const auto& c : f->GetChildren())
        if (auto hit = FindByName(c.Get(), name)) return hit;
    return {};
}

void Walk(rm::Frame* f, const std::function<void(rm::Frame*)>& visit) {
    visit(f);
    for (const auto& c : f->GetChildren()) Walk(c.Get(), visit);
}

}  // namespace

QImage RenderParts(const std::vector<RmPart>& parts, const std::string& eyeBmp, int size,
                   const RmView& view) {
    auto lib = rm::Library::Create();
    auto root = lib->CreateFrame(nullptr);
    auto scene = lib->CreateFrame(root.Get());
    std::vector<rm::Ref<rm::Frame>> partFrames;
    for (const auto& part : parts) {
        rm::Ref<rm::Frame> top;
        CXFileReader reader;
        if (!reader.Load(part.text.data(), part.text.size(), lib.Get(), nullptr, &top)) return {};
        if (auto* set = reader.GetAnimationSet()) set->SetTime(50.0f);
        auto first = top->GetChildren().GetElement(0);
        if (!first) return {};
        rm::Ref<rm::Frame> parent = scene;
        if (!part.joint.empty())
            for (const auto& placed : partFrames)
                if (auto link = FindByName(placed.Get(), "FRM-" + part.joint)) parent = link;
        parent->AddChild(first.Get());
        partFrames.push_back(first);
    }
    if (!eyeBmp.empty()) {
        auto eye =
            lib->LoadTextureFromMemory({reinterpret_cast<const std::uint8_t*>(eyeBmp.data()), eyeBmp.size()});
        Walk(scene.Get(), [&](rm::Frame* f) {
            if (f->GetName() != "FRM-EYEL" && f->GetName() != "FRM-EYER") return;
            for (const auto& v : f->GetVisuals())
                if (auto m = rm::RefCast<rm::MeshBuilder>(v)) m->SetTexture(eye.Get());
        });
    }

    // World bounds of every vertex.
    Vec3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    Walk(scene.Get(), [&](rm::Frame* f) {
        for (const auto& v : f->GetVisuals())
            if (auto m = rm::RefCast<rm::MeshBuilder>(v))
                for (const auto& p : m->Vertices()) {
                    rm::Vector w;
                    f->Transform(&w, &p);
                    lo = {std::min(lo.x, double(w.x)), std::min(lo.y, double(w.y)),
                          std::min(lo.z, double(w.z))};
                    hi = {std::max(hi.x, double(w.x)), std::max(hi.y, double(w.y)),
                          std::max(hi.z, double(w.z))};
                }
    });
    if (lo.x > hi.x) return {};

    // Camera on the line of view, far enough that the bounds fit, then centred on them.
    const Vec3 forward = Normalised(view.direction);
    const Vec3 right = Normalised(Cross({0, 1, 0}, forward));
    const Vec3 up = Cross(forward, right);
    const Vec3 centre = (lo + hi) * 0.5;
    const double radius = std::max(Length(hi - lo) * 0.5, 1e-3);
    const double tanHalf = kField / kFront;
    double distance = radius / (tanHalf * view.fill) + radius;
    double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
    for (int c = 0; c < 8; ++c) {
        const Vec3 corner{c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z};
        const Vec3 d = corner - (centre - forward * distance);
        const double z = Dot(d, forward);
        minX = std::min(minX, Dot(d, right) / z);
        maxX = std::max(maxX, Dot(d, right) / z);
        minY = std::min(minY, Dot(d, up) / z);
        maxY = std::max(maxY, Dot(d, up) / z);
    }
    // Centre the picture on the projected bounds (offsets measured at the first distance), then move
    // along the line of view until their extent takes the wanted share.
    const Vec3 shift = right * ((minX + maxX) / 2 * distance) + up * ((minY + maxY) / 2 * distance);
    distance *= std::max(maxX - minX, maxY - minY) / (2 * tanHalf * view.fill);
    const Vec3 eye = centre + shift - forward * distance;

    auto camera = lib->CreateFrame(root.Get());
    camera->SetPosition(nullptr, float(eye.x), float(eye.y), float(eye.z));
    camera->SetOrientation(nullptr, float(forward.x), float(forward.y), float(forward.z), 0, 1, 0);
    auto ambient = lib->CreateLight(rm::D3DRMLIGHT_AMBIENT, 0x505050);
    scene->AddLight(ambient.Get());
    auto sunFrame = lib->CreateFrame(scene.Get());
    sunFrame->SetOrientation(nullptr, 0.45f, -0.65f, 0.6f, 0, 1, 0);
    auto sun = lib->CreateLight(rm::D3DRMLIGHT_DIRECTIONAL, 0xC8C8C8);
    sunFrame->AddLight(sun.Get());

    auto target = surface::Surface::Create(size, size, surface::PixelFormat::FromBits(32));
    auto device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
    if (!device) return {};
    device->SetQuality(rm::D3DRMRENDER_GOURAUD);
    device->SetTextureQuality(rm::D3DRMTEXTURE_MIPLINEAR);
    auto viewport = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, size, size);
    if (!viewport) return {};
    viewport->SetFront(kFront);
    viewport->SetBack(float(distance + 4 * radius));
    viewport->SetField(kField);
    viewport->SetBackgroundColor(0xE2E8F0);
    viewport->Clear(rm::D3DRMCLEAR_ALL);
    if (viewport->Render(root.Get()) != rm::D3DRM_OK) return {};

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        std::copy_n(target->Bits() + std::size_t(y) * target->Pitch(), size * 4, image.scanLine(y));
    return image;
}

}  // namespace datagen

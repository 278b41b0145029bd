#include "render/pipeline/RenderPipeline.h"

#include <cstdio>
#include <fstream>

#include "core/SettingsStore.h"
#include "platform/rm/Device.h"
#include "platform/rm/DeviceTable.h"
#include "platform/rm/Viewport.h"
#include "platform/surface/DeviceContext.h"
#include "render/bitmap/PictureLoading.h"
#include "render/output/BmpImage.h"
#include "render/output/PictureFile.h"

namespace {

void ShowProgress(ProgressSink* progress, const std::string& title, int position) {
    if (!progress) return;
    char text[512];
    std::snprintf(text, sizeof text, "レンダリング ファイル >> %s", title.c_str());
    progress->SetText(text);
    progress->SetPos(position);
}

// The software rasteriser from the enumerated devices (searching from the last backwards).
const rm::DeviceGuid* FindSoftwareDevice(const rm::Library& library, rm::DeviceTable& table) {
    table.Fill(library);
    const int index = table.FindDevice("RGB E");
    return index < 0 ? nullptr : &table.Entry(static_cast<std::size_t>(index)).guid;
}

bool FileOpensForReading(const std::string& path) { return std::ifstream(path, std::ios::binary).good(); }

// Stretches the background picture over the whole render surface. Any problem with the picture
// is passed over: the scene is then drawn over the plain background colour.
void DrawBackground(const RenderRequest& r, surface::Surface& target, std::uint32_t width, std::uint32_t height) {
    const CSettingsStore& s = *r.settings;
    const std::string path = s.GetSettingString("render", "bg", "");
    if (path.empty() || s.GetSettingInt("bg", "render", 1) != 1 || !FileOpensForReading(path)) return;
    surface::Ref<surface::Surface> picture = bitmap::LoadPicture(*r.directDraw, path, 0, 0);
    if (!picture) return;
    if (s.GetSettingInt("system", "disable_ddhal", 0) == 0 &&
        target.Blt(nullptr, picture.Get(), nullptr, surface::DDBLT_WAIT) == surface::DD_OK)
        return;
    // Through device contexts: the whole picture stretched onto the whole surface.
    surface::SurfaceDesc desc;
    desc.flags = surface::DDSD_HEIGHT | surface::DDSD_WIDTH;
    picture->GetSurfaceDesc(&desc);
    surface::DeviceContext* to = target.GetDC();
    surface::DeviceContext* from = picture->GetDC();
    if (to && from)
        to->StretchBlt(0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), *from, 0, 0,
                       static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height),
                       surface::SRCCOPY);
    if (from) picture->ReleaseDC(from);
    if (to) target.ReleaseDC(to);
}

}  // namespace

std::uint32_t QualityForDisplayMode(int mode) {
    switch (mode) {
        case 0: return rm::D3DRMRENDER_WIREFRAME;
        case 1: return rm::D3DRMRENDER_FLAT;
        case 3: return rm::D3DRMRENDER_PHONG;
        default: return rm::D3DRMRENDER_GOURAUD;
    }
}

RenderPipeline& RenderPipeline::Shared() {
    static RenderPipeline pipeline;
    return pipeline;
}

std::size_t RenderPipeline::KeptBytes() const {
    if (!m_target) return m_file.capacity();
    const std::size_t pixels = std::size_t{m_target->Width()} * m_target->Height();
    // The target's rows, the device's depth (a float a pixel) and the file block.
    return std::size_t(m_target->Pitch()) * m_target->Height() + pixels * sizeof(float) + m_file.capacity();
}

void RenderPipeline::Release() {
    m_device = nullptr;
    m_target = nullptr;
    std::vector<std::uint8_t>().swap(m_file);  // its memory too, not only its bytes
}

void RenderPipeline::GiveBackOverBound() {
    if (KeptBytes() > m_bound) Release();
}

// The target and the device for a render surface of width × height: the kept ones when they have
// that size, else new ones (the old ones go first, so that the two never stand side by side).
bool RenderPipeline::Prepare(const RenderRequest& r, std::uint32_t width, std::uint32_t height) {
    if (m_target && m_device && m_target->Width() == width && m_target->Height() == height) return true;
    Release();
    // The offscreen surface: 32-bit 0x00RRGGBB in system memory.
    surface::SurfaceDesc desc;
    desc.flags = surface::DDSD_CAPS | surface::DDSD_HEIGHT | surface::DDSD_WIDTH | surface::DDSD_PIXELFORMAT;
    desc.width = width;
    desc.height = height;
    desc.caps = surface::DDSCAPS_OFFSCREENPLAIN | surface::DDSCAPS_SYSTEMMEMORY | surface::DDSCAPS_3DDEVICE;
    desc.format = surface::PixelFormat::FromBits(32);
    if (r.directDraw->CreateSurface(desc, &m_target) != surface::DD_OK || !m_target) return false;
    rm::DeviceTable devices;
    const rm::DeviceGuid* software = FindSoftwareDevice(*r.library, devices);
    if (software) m_device = r.library->CreateDeviceFromSurface(software, r.directDraw, m_target.Get(), 0);
    if (!m_device) {
        Release();
        return false;
    }
    return true;
}

std::span<const std::uint8_t> RenderPipeline::RenderBmp(const RenderRequest& r) {
    if (!r.directDraw || !r.library || !r.camera || !r.viewRoot || !r.settings) return {};
    const CSettingsStore& s = *r.settings;
    const bool antialias = s.GetSettingInt("render", "antialias", 1) == 1;
    const int outWidth = s.GetSettingInt("render", "width", 640);
    const int outHeight = s.GetSettingInt("render", "height", 480);
    if (outWidth <= 0 || outHeight <= 0) return {};
    const auto scale = static_cast<std::uint32_t>(antialias ? 2 : 1);
    const std::uint32_t width = static_cast<std::uint32_t>(outWidth) * scale;
    const std::uint32_t height = static_cast<std::uint32_t>(outHeight) * scale;
    if (!Prepare(r, width, height)) return {};
    surface::Surface& target = *m_target;
    rm::Device& device = *m_device;

    rm::Ref<rm::Viewport> viewport = r.library->CreateViewport(&device, r.camera, 0, 0, width, height);
    if (!viewport) return {};
    viewport->SetPlanes(s.GetSettingFloat("view", "front", 10.0f), s.GetSettingFloat("view", "back", 200.0f));
    viewport->SetField(s.GetSettingFloat("view", "field", 1.5f));
    device.SetQuality(QualityForDisplayMode(s.GetSettingInt("dev", "mode", 2)));
    device.SetDither(false);
    device.SetTextureQuality(rm::D3DRMTEXTURE_MIPLINEAR);
    device.SetShades(256);
    viewport->ForceUpdate(0, 0, static_cast<std::int32_t>(viewport->GetWidth()),
                          static_cast<std::int32_t>(viewport->GetHeight()));
    viewport->Clear(rm::D3DRMCLEAR_ALL);

    ShowProgress(r.progress, r.documentTitle, 40);
    DrawBackground(r, target, width, height);
    ShowProgress(r.progress, r.documentTitle, 80);

    // The scene hangs under the view root for exactly this one Render.
    if (r.sceneRoot) r.viewRoot->AddChild(r.sceneRoot);
    viewport->Render(r.viewRoot);
    if (r.sceneRoot) r.viewRoot->DeleteChild(r.sceneRoot);
    device.Update();

    surface::SurfaceDesc locked;
    std::uint32_t result;
    while ((result = target.Lock(nullptr, &locked, 0)) == surface::DDERR_WASSTILLDRAWING) {
    }
    if (result != surface::DD_OK) return {};
    const SurfacePixels pixels{static_cast<const std::uint8_t*>(locked.surface), locked.pitch, width, height};
    const bool encoded =
        EncodeBmp24Into(m_file, pixels, static_cast<std::uint32_t>(outWidth), static_cast<std::uint32_t>(outHeight),
                        antialias, [&](int percent) { ShowProgress(r.progress, r.documentTitle, percent); });
    target.Unlock(nullptr);
    if (!encoded) return {};
    return m_file;
}

std::vector<std::uint8_t> RenderToBmp(const RenderRequest& r) {
    RenderPipeline& pipeline = RenderPipeline::Shared();
    const std::span<const std::uint8_t> file = pipeline.RenderBmp(r);
    std::vector<std::uint8_t> copy(file.begin(), file.end());
    pipeline.GiveBackOverBound();
    return copy;
}

RenderOutcome RenderToFile(const RenderRequest& r) {
    RenderPipeline& pipeline = RenderPipeline::Shared();
    const std::span<const std::uint8_t> file = pipeline.RenderBmp(r);
    // The name decides the format (PNG for ".png", BMP otherwise). A short or failed write is a
    // failure, and leaves no partial file.
    const bool written =
        !file.empty() && WriteRenderedPicture(r.settings->GetSettingString("render", "name", ""), file);
    pipeline.GiveBackOverBound();
    return written ? RenderOutcome::Written : RenderOutcome::Failed;
}

#include "platform/rm/Library.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/rm/BmpTexture.h"
#include "platform/rm/ObjectRegistry.h"

namespace rm {

Ref<Library> Library::Create() {
    return Ref<Library>::Adopt(new Library);
}

Library::Library() : m_registry(std::make_shared<ObjectRegistry>()) {}
Library::~Library() = default;

Ref<Frame> Library::CreateFrame(Frame* parent) {
    Ref<Frame> f = Ref<Frame>::Adopt(new Frame(m_registry));
    if (parent) parent->AddChild(f.Get());
    return f;
}

Ref<MeshBuilder> Library::CreateMeshBuilder() {
    return Ref<MeshBuilder>::Adopt(new MeshBuilder(m_registry));
}

Ref<Material> Library::CreateMaterial(float power) {
    return Ref<Material>::Adopt(new Material(m_registry, power));
}

Ref<Light> Library::CreateLight(LightType type, std::uint32_t argb) {
    return Ref<Light>::Adopt(new Light(m_registry, type, argb));
}

Ref<Light> Library::CreateLightRGB(LightType type, float r, float g, float b) {
    return CreateLight(type, CreateColorRGB(r, g, b));
}

Ref<AnimationSet> Library::CreateAnimationSet() {
    return Ref<AnimationSet>::Adopt(new AnimationSet(m_registry));
}

Ref<Animation> Library::CreateAnimation() {
    return Ref<Animation>::Adopt(new Animation(m_registry));
}

Ref<Texture> Library::LoadTexture(std::string_view path) {
    // The path is the operating system's bytes, opened as they are.
    const std::string name(path);
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return {};
    // A texture larger than this is no texture of ours (the largest side squared, 4 bytes a pixel,
    // plus headers).
    constexpr long kMaxFile = long{kMaxTextureSide} * kMaxTextureSide * 4 + 4096;
    std::vector<std::uint8_t> bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size >= 0 && size <= kMaxFile && std::fseek(file, 0, SEEK_SET) == 0) {
        bytes.resize(static_cast<std::size_t>(size));
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
    }
    std::fclose(file);
    if (bytes.empty()) return {};
    return LoadTextureFromMemory(bytes);
}

namespace {
// Set once at start-up, before any texture loads; read on the thread that loads textures.
Library::PictureDecoder g_pictureDecoder = nullptr;
}  // namespace

void Library::SetPictureDecoder(PictureDecoder decoder) {
    g_pictureDecoder = decoder;
}

Library::PictureDecoder Library::GetPictureDecoder() {
    return g_pictureDecoder;
}

Ref<Texture> Library::LoadTextureFromMemory(std::span<const std::uint8_t> file) {
    DecodedBmp img;
    if (!DecodeBmp(file, &img)) {
        img = {};
        // A texture keeps the bitmap decoder's side limit whatever decoded it.
        if (!g_pictureDecoder || !g_pictureDecoder(file, &img) || img.width > kMaxTextureSide ||
            img.height > kMaxTextureSide)
            return {};
    }
    return CreateTexture(img.width, img.height, img.texels);
}

Ref<Texture> Library::CreateTexture(std::uint32_t width, std::uint32_t height,
                                    std::span<const std::uint32_t> texels) {
    if (width == 0 || height == 0 || texels.size() != std::size_t(width) * height) return {};
    return Ref<Texture>::Adopt(
        new Texture(m_registry, width, height, std::vector<std::uint32_t>(texels.begin(), texels.end())));
}

bool Library::KnownDevice(const DeviceGuid* guid) const {
    return !guid || *guid == RgbEmulationGuid();
}

Ref<Device> Library::CreateDeviceFromSurface(const DeviceGuid* guid, surface::DirectDraw* directDraw,
                                             surface::Surface* target, std::uint32_t flags) {
    (void)directDraw;
    (void)flags;
    if (!KnownDevice(guid) || !target || target->Format().bitCount != 32) return {};
    return Ref<Device>::Adopt(new Device(Ref<surface::Surface>(target), nullptr));
}

Ref<Device> Library::CreateDeviceFromClipper(surface::Clipper* clipper, const DeviceGuid* guid,
                                             std::uint32_t width, std::uint32_t height) {
    if (!KnownDevice(guid) || !clipper || !clipper->GetHWnd()) return {};
    Ref<surface::Surface> target = surface::Surface::Create(
        width, height, surface::PixelFormat::FromBits(32), 0,
        surface::DDSCAPS_OFFSCREENPLAIN | surface::DDSCAPS_SYSTEMMEMORY | surface::DDSCAPS_3DDEVICE);
    if (!target) return {};
    return Ref<Device>::Adopt(new Device(std::move(target), Ref<surface::Clipper>(clipper)));
}

Ref<Viewport> Library::CreateViewport(Device* device, Frame* camera, std::int32_t x, std::int32_t y,
                                      std::uint32_t width, std::uint32_t height) {
    if (!device || !camera || width == 0 || height == 0 || x < 0 || y < 0 ||
        std::uint64_t(x) + width > device->GetWidth() || std::uint64_t(y) + height > device->GetHeight())
        return {};
    return Ref<Viewport>::Adopt(new Viewport(m_registry, device, camera, x, y, width, height));
}

Ref<Object> Library::GetNamedObject(std::string_view name) const {
    return Ref<Object>(m_registry->Find(name));
}

void Library::EnumerateObjects(const std::function<void(Object*)>& f) const {
    m_registry->ForEach(f);
}

std::size_t Library::LiveObjectCount() const {
    return m_registry->LiveCount();
}

void Library::EnumDevices(const std::function<void(const DeviceInfo&)>& f) const {
    DeviceInfo rgb;
    rgb.guid = RgbEmulationGuid();
    rgb.name = "RGB Emulation";
    rgb.description = "Marisole software rasteriser: 32-bit colour, depth buffer, flat and Gouraud shading, textures";
    rgb.hardware = false;
    f(rgb);
}

}  // namespace rm

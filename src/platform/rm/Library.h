#pragma once
// The retained-mode library object: creates frames, mesh builders, materials, lights, textures,
// animations, devices and viewports, finds live objects by name and enumerates devices.
// Every Create* returns the new object's first reference (null on failure); the caller's Ref
// releases it.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "platform/rm/Animation.h"
#include "platform/rm/BmpTexture.h"
#include "platform/rm/Device.h"
#include "platform/rm/DeviceInfo.h"
#include "platform/rm/Frame.h"
#include "platform/rm/Light.h"
#include "platform/rm/Material.h"
#include "platform/rm/MeshBuilder.h"
#include "platform/rm/Texture.h"
#include "platform/rm/Viewport.h"
#include "platform/surface/Clipper.h"
#include "platform/surface/DirectDraw.h"
#include "platform/surface/Surface.h"

namespace rm {

class ObjectRegistry;

class Library : public platform::Counted {
  public:
    static Ref<Library> Create();

    // A new frame, child of `parent` when given (the parent then holds it too).
    Ref<Frame> CreateFrame(Frame* parent);
    Ref<MeshBuilder> CreateMeshBuilder();
    // power: specular exponent; specular (1, 1, 1), emissive (0, 0, 0).
    Ref<Material> CreateMaterial(float power);
    Ref<Light> CreateLight(LightType type, std::uint32_t argb);
    Ref<Light> CreateLightRGB(LightType type, float r, float g, float b);
    Ref<AnimationSet> CreateAnimationSet();
    Ref<Animation> CreateAnimation();
    // A texture from a BMP file (1, 4, 8, 24 or 32 bits, uncompressed; 24-bit becomes 32-bit), or
    // from any other picture the installed picture decoder takes. Null when the file cannot be
    // read or nothing takes it.
    Ref<Texture> LoadTexture(std::string_view path);
    // The same from the bytes of a file.
    Ref<Texture> LoadTextureFromMemory(std::span<const std::uint8_t> file);

    // Decoder of picture files other than our bitmaps, tried after the bitmap decoder refused a
    // file. This library knows no picture format but BMP; the picture layer above it installs its
    // readers (JPEG, PNG) here when it is linked in. Null: bitmaps only.
    using PictureDecoder = bool (*)(std::span<const std::uint8_t> file, DecodedBmp* out);
    static void SetPictureDecoder(PictureDecoder decoder);
    static PictureDecoder GetPictureDecoder();
    // A texture from texels 0xAARRGGBB, row 0 at the top; null for a zero or mismatched size.
    Ref<Texture> CreateTexture(std::uint32_t width, std::uint32_t height,
                               std::span<const std::uint32_t> texels);

    // Devices. `guid` null picks the software rasteriser; an identifier that was not enumerated is
    // refused. The surface must be 32 bits per pixel.
    Ref<Device> CreateDeviceFromSurface(const DeviceGuid* guid, surface::DirectDraw* directDraw,
                                        surface::Surface* target, std::uint32_t flags = 0);
    // A device drawing into the window of `clipper`, through an offscreen 32-bit surface of
    // width x height. Null when the clipper has no window or the size is 0.
    Ref<Device> CreateDeviceFromClipper(surface::Clipper* clipper, const DeviceGuid* guid,
                                        std::uint32_t width, std::uint32_t height);
    // Null when the rectangle is empty or leaves the device.
    Ref<Viewport> CreateViewport(Device* device, Frame* camera, std::int32_t x, std::int32_t y,
                                 std::uint32_t width, std::uint32_t height);

    // The live object of that exact name (the one named last when several share it), or null.
    Ref<Object> GetNamedObject(std::string_view name) const;
    // Calls `f` for every live object in creation order.
    void EnumerateObjects(const std::function<void(Object*)>& f) const;
    std::size_t LiveObjectCount() const;

    // Device enumeration: the software rasteriser "RGB Emulation" (no hardware device exists here).
    void EnumDevices(const std::function<void(const DeviceInfo&)>& f) const;

  private:
    Library();
    ~Library() override;
    bool KnownDevice(const DeviceGuid* guid) const;

    std::shared_ptr<ObjectRegistry> m_registry;
};

}  // namespace rm

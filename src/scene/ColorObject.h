#pragma once
// One colour assignment of a part: the material that the mesh builders of one frame of the part
// receive. Colour objects with the same general name form one material across all parts.

#include <cstdint>
#include <memory>
#include <string>

class CPartObject;
namespace rm {
class Frame;
}
namespace scene {
struct ColorRecord;
}

class CColorObject {
  public:
    CColorObject() = default;
    // From a colour definition line (target frame and general name are never empty).
    CColorObject(std::string targetFrame, std::string generalName, std::string remark, CPartObject* owner);

    // Gives the target frame's mesh builders the material and colour (showing a hidden owner for
    // the time it takes). Nothing happens when the owner has no such frame.
    void ApplyColor();

    // Takes over the colour values (diffuse, specular, emissive, power) of another object.
    void TakeColorsFrom(const CColorObject& other);
    // Starts from the colours the part's mesh file gives its target frame (the first face of the
    // first mesh): diffuse, and power, specular and emissive of its material. False when the
    // target has no mesh with faces (the defaults stay).
    bool TakeColorsFromMesh(rm::Frame* partFrame);

    // The colour record of scene files (the owner's index as the owner holds it now), and a colour
    // object made from one for `owner`.
    scene::ColorRecord ToRecord() const;
    static std::unique_ptr<CColorObject> FromRecord(const scene::ColorRecord& record, CPartObject* owner);

    CPartObject* m_owner = nullptr;  // not owned
    std::string m_targetFrame;
    std::string m_textureName;
    std::string m_generalName;
    std::string m_remark;
    float m_power = 50.0f;
    std::uint32_t m_emissive = 0x000000;
    std::uint32_t m_specular = 0x5A5A5A;
    std::uint32_t m_diffuse = 0xFFFFFF;  // 0xAARRGGBB; alpha forced to 0xFF when applied
};

// Red, green, blue of 0x00RRGGBB as reals 0-1 (each byte divided by 255).
float ColorRed(std::uint32_t rgb);
float ColorGreen(std::uint32_t rgb);
float ColorBlue(std::uint32_t rgb);

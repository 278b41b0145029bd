#include "scene/ColorObject.h"

#include "core/MainApp.h"
#include "platform/rm/Face.h"
#include "platform/rm/Library.h"
#include "platform/rm/Material.h"
#include "platform/rm/MeshBuilder.h"
#include "scene/FrameNames.h"
#include "scene/SceneRecords.h"
#include "scene/PartObject.h"

float ColorRed(std::uint32_t rgb) {
    return static_cast<float>((rgb >> 16) & 0xFF) / 255.0f;
}
float ColorGreen(std::uint32_t rgb) {
    return static_cast<float>((rgb >> 8) & 0xFF) / 255.0f;
}
float ColorBlue(std::uint32_t rgb) {
    return static_cast<float>(rgb & 0xFF) / 255.0f;
}

CColorObject::CColorObject(std::string targetFrame, std::string generalName, std::string remark,
                           CPartObject* owner)
    : m_owner(owner),
      m_targetFrame(std::move(targetFrame)),
      m_generalName(std::move(generalName)),
      m_remark(std::move(remark)) {}

void CColorObject::TakeColorsFrom(const CColorObject& other) {
    m_diffuse = other.m_diffuse;
    m_specular = other.m_specular;
    m_emissive = other.m_emissive;
    m_power = other.m_power;
}

namespace {

std::uint32_t ToByte(float channel) {
    const float clamped = channel < 0.0f ? 0.0f : (channel > 1.0f ? 1.0f : channel);
    return static_cast<std::uint32_t>(clamped * 255.0f + 0.5f);
}

std::uint32_t PackRgb(const rm::Vector& rgb) { return (ToByte(rgb.x) << 16) | (ToByte(rgb.y) << 8) | ToByte(rgb.z); }

}  // namespace

bool CColorObject::TakeColorsFromMesh(rm::Frame* partFrame) {
    rm::Ref<rm::Frame> target = FindFrameByName(m_targetFrame, partFrame);
    if (!target) return false;
    for (const auto& visual : target->Visuals()) {
        auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get());
        if (!mesh || mesh->GetFaceCount() == 0) continue;
        const rm::Ref<rm::Face> face = mesh->GetFace(0);
        m_diffuse = face->GetColor() | 0xFF000000u;
        if (const rm::Material* material = face->MaterialPtr()) {
            m_power = material->GetPower();
            m_specular = PackRgb(material->Specular());
            m_emissive = PackRgb(material->Emissive());
        }
        return true;
    }
    return false;
}

void CColorObject::ApplyColor() {
    if (!m_owner) return;
    rm::Library* library = GetApp()->m_lpD3DRM;
    const bool wasHidden = !m_owner->IsVisible();
    if (wasHidden) m_owner->ShowVisuals();
    if (rm::Ref<rm::Frame> target = FindFrameByName(m_targetFrame, m_owner->GetFrame())) {
        for (const auto& visual : target->Visuals()) {
            auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get());
            if (!mesh) continue;
            if (library) {
                rm::Ref<rm::Material> material = library->CreateMaterial(m_power);
                material->SetEmissive(ColorRed(m_emissive), ColorGreen(m_emissive), ColorBlue(m_emissive));
                material->SetSpecular(ColorRed(m_specular), ColorGreen(m_specular), ColorBlue(m_specular));
                material->SetName(m_generalName);
                mesh->SetMaterial(material.Get());
            }
            m_diffuse |= 0xFF000000u;
            mesh->SetColor(m_diffuse);
        }
    }
    if (wasHidden) m_owner->HideVisuals();
}

scene::ColorRecord CColorObject::ToRecord() const {
    scene::ColorRecord r;
    r.generalName = m_generalName;
    r.remark = m_remark;
    r.targetFrame = m_targetFrame;
    r.diffuse = m_diffuse;
    r.specular = m_specular;
    r.emissive = m_emissive;
    r.power = m_power;
    r.ownerPath = m_owner ? m_owner->m_definitionPath : std::string();
    r.ownerIndex = m_owner ? m_owner->m_serialIndex : -1;
    return r;
}

std::unique_ptr<CColorObject> CColorObject::FromRecord(const scene::ColorRecord& r, CPartObject* owner) {
    auto color = std::make_unique<CColorObject>(r.targetFrame, r.generalName, r.remark, owner);
    color->m_diffuse = r.diffuse;
    color->m_specular = r.specular;
    color->m_emissive = r.emissive;
    color->m_power = r.power;
    return color;
}

#include "scene/ColorObject.h"

#include "core/MainApp.h"
#include "base/ArchiveStream.h"
#include "platform/rm/Face.h"
#include "platform/rm/Library.h"
#include "platform/rm/Material.h"
#include "platform/rm/MeshBuilder.h"
#include "scene/FrameNames.h"
#include "scene/PartIndexTable.h"
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

void CColorObject::Serialize(StoringArchive& ar) const {
    ar.WriteU32(kSerialId);
    ar.WriteString(m_generalName);
    ar.WriteString(m_remark);
    ar.WriteString(m_targetFrame);
    ar.WriteU32(m_diffuse);
    ar.WriteU32(m_specular);
    ar.WriteU32(m_emissive);
    ar.WriteF32(m_power);
    ar.WriteString(m_owner ? m_owner->m_definitionPath : std::string());
    ar.WriteI32(m_owner ? m_owner->m_serialIndex : -1);
}

bool CColorObject::Serialize(LoadingArchive& ar, const CPartIndexTable& table) {
    if (ar.ReadU32() != kSerialId || !ar.Ok()) {
        CPartIndexTable::CountError();
        return false;
    }
    m_generalName = ar.ReadString();
    m_remark = ar.ReadString();
    m_targetFrame = ar.ReadString();
    m_diffuse = ar.ReadU32();
    m_specular = ar.ReadU32();
    m_emissive = ar.ReadU32();
    m_power = ar.ReadF32();
    ar.ReadString();  // owner definition path: not used
    const std::int32_t owner = ar.ReadI32();
    if (!ar.Ok()) return false;
    m_owner = table.At(owner);
    return m_owner != nullptr;
}

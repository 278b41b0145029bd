#include "view/LightColours.h"

#include <string>

#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/rm/Light.h"
#include "platform/rm/Material.h"
#include "platform/rm/MeshBuilder.h"
#include "scene/FrameNames.h"
#include "scene/MainDoc.h"

namespace {

rm::Light* FindLight(int index) {
    rm::Library* library = GetApp()->m_lpD3DRM;
    if (!library) return nullptr;
    rm::Ref<rm::Object> object = library->GetNamedObject("LIGHTOBJECT@" + std::to_string(index));
    return dynamic_cast<rm::Light*>(object.Get());
}

}  // namespace

std::uint32_t GetLightColour(int index) {
    std::uint32_t colour = 0;
    if (rm::Light* light = FindLight(index)) colour = SwapRedBlue(light->GetColor() & 0xFFFFFF);
    SetMarkerColour(index, colour);
    return colour;
}

void SetLightColour(int index, std::uint32_t colorRef) {
    if (rm::Light* light = FindLight(index)) light->SetColor(SwapRedBlue(colorRef));
    SetMarkerColour(index, colorRef);
}

void SetMarkerColour(int index, std::uint32_t colorRef) {
    CMainDoc* doc = GetApp()->m_pDocument;
    rm::Library* library = GetApp()->m_lpD3DRM;
    if (!doc || !library) return;
    CPartObject* marker = doc->FindPartByFolder("LIGHT" + std::to_string(index) + "\\");
    if (!marker || !marker->GetFrame()) return;
    // A hidden part has its visuals taken off: put them back while the material is set.
    const bool hidden = !marker->IsVisible();
    if (hidden) marker->ShowVisuals();
    if (rm::Ref<rm::Frame> iro = FindFrameByName("IRO", marker->GetFrame())) {
        for (const auto& visual : iro->Visuals()) {
            auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get());
            if (!mesh) continue;
            rm::Ref<rm::Material> material = library->CreateMaterial(1000.0f);
            material->SetEmissive((colorRef & 0xFF) / 255.0f, ((colorRef >> 8) & 0xFF) / 255.0f,
                                  ((colorRef >> 16) & 0xFF) / 255.0f);
            material->SetSpecular(0, 0, 0);
            mesh->SetMaterial(material.Get());
        }
    }
    if (hidden) marker->HideVisuals();
}

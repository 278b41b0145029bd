// The five scene lights: the ambient light on the character root frame and four lights carried by
// the marker parts, whose own geometry stays hidden.

#include "scene/SceneLights.h"

#include <string>

#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "scene/SceneTexts.h"

namespace scene {

const LightDefinition kSceneLights[kLightCount] = {
    {"LIGHTOBJECT@0", rm::D3DRMLIGHT_AMBIENT, 0x363636, nullptr, {}, {}, {}, false},
    {"LIGHTOBJECT@1",
     rm::D3DRMLIGHT_POINT,
     0x888888,
     "LIGHT1\\POINT.X",
     {-6.064189f, 10.554976f, -4.760030f},
     {},
     {},
     false},
    {"LIGHTOBJECT@2",
     rm::D3DRMLIGHT_POINT,
     0x000000,
     "LIGHT2\\POINT.X",
     {0.965109f, 10.609517f, -7.865974f},
     {},
     {},
     false},
    {"LIGHTOBJECT@3",
     rm::D3DRMLIGHT_POINT,
     0x000000,
     "LIGHT3\\POINT.X",
     {5.704514f, 10.286591f, -4.679554f},
     {},
     {},
     false},
    {"LIGHTOBJECT@4",
     rm::D3DRMLIGHT_DIRECTIONAL,
     0x444444,
     "LIGHT4\\arrow.x",
     {-4.101194f, 6.578267f, -5.596172f},
     {0.172860f, -0.699985f, 0.692922f},
     {0.984320f, 0.097686f, -0.146873f},
     true},
};

}  // namespace scene

void CMainDoc::CreateSceneLights() {
    std::uint32_t colors[scene::kLightCount];
    for (int k = 0; k < scene::kLightCount; ++k) colors[k] = scene::kSceneLights[k].color;
    PlaceLights(true, colors);
}

void CMainDoc::PlaceLights(bool placeMarkers, const std::uint32_t* colors) {
    CMainApp* app = GetApp();
    rm::Library* library = app->m_lpD3DRM;
    rm::Frame* scene = m_lpfScene.Get();
    if (!library || !scene) return;
    CPartsTree* tree = Tree();

    // The lights belong to the scene, not to a figure: they stay when figures come and go. Their
    // places are given from where a new scene's figure stands (55 units ahead of the camera).
    const scene::LightDefinition& ambient = scene::kSceneLights[0];
    if (rm::Ref<rm::Light> light = library->CreateLight(ambient.type, colors[0])) {
        light->SetName(ambient.name);
        scene->AddLight(light.Get());
    }

    // The sun first, then the point lights 1, 2, 3.
    for (int k : {4, 1, 2, 3}) {
        const scene::LightDefinition& definition = scene::kSceneLights[k];
        CPartObject* marker = FindPartByFolder(definition.markerPath);
        const int image = definition.oriented ? 10 : 12;
        if (tree)
            if (HTREEITEM item = FindItemByFolder(definition.markerPath)) tree->SetItemImage(item, image, image);
        if (definition.oriented && marker && marker->GetFrame())
            if (auto old = rm::RefCast<rm::Light>(library->GetNamedObject(definition.name)))
                marker->GetFrame()->DeleteLight(old.Get());
        const bool newMarker = marker == nullptr;
        if (newMarker) marker = LoadPart(definition.markerPath, nullptr, m_lpfScene.Get());
        if (marker && marker->GetFrame()) {
            rm::Frame* frame = marker->GetFrame();
            if (rm::Ref<rm::Light> light = library->CreateLight(definition.type, colors[k])) {
                light->SetName(definition.name);
                if (placeMarkers) {
                    frame->SetPosition(scene, definition.position.x, definition.position.y,
                                       definition.position.z + kFigureDistance);
                    if (definition.oriented)
                        frame->SetOrientation(scene, definition.direction.x, definition.direction.y, definition.direction.z,
                                              definition.up.x, definition.up.y, definition.up.z);
                }
                frame->AddLight(light.Get());
            }
            // New lights start with their markers hidden; a scene file's markers keep what it
            // says of them.
            if (placeMarkers || newMarker) {
                marker->HideVisuals();
                if (tree)
                    if (HTREEITEM item = FindItemByFolder(definition.markerPath)) tree->SetCheck(item, false);
            }
        }
        if (placeMarkers && !definition.oriented && tree)
            if (HTREEITEM item = FindItemByLabel(definition.name)) tree->SetCheck(item, false);
    }

    if (tree && placeMarkers)
        for (const char* label :
             {scene::kSunLabel, scene::kPoint1Label, scene::kPoint2Label, scene::kPoint3Label})
            if (HTREEITEM item = FindItemByLabel(label)) tree->SetCheck(item, false);
    win::SendMessage(app->m_pLightDlg, win::WM_REFRESH);
}

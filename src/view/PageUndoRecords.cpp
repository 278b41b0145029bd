#include "view/PageUndoRecords.h"

#include "core/MainApp.h"
#include "platform/win/WindowMessages.h"
#include "scene/ColorObject.h"
#include "scene/MainDoc.h"
#include "view/LightColours.h"

namespace {

const CColorObject* FirstOfName(const CMainDoc& doc, const std::string& generalName) {
    for (const CPartObject* part : doc.AllParts())
        for (const auto& color : part->ColorObjects())
            if (color->m_generalName == generalName) return color.get();
    return nullptr;
}

void RedrawScene() { win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH); }

}  // namespace

std::unique_ptr<MaterialRecord> MaterialRecord::Capture(const CMainDoc& doc, const std::string& generalName) {
    const CColorObject* color = FirstOfName(doc, generalName);
    if (!color) return nullptr;
    auto record = std::unique_ptr<MaterialRecord>(new MaterialRecord);
    record->m_generalName = generalName;
    record->m_diffuse = color->m_diffuse;
    record->m_specular = color->m_specular;
    record->m_emissive = color->m_emissive;
    record->m_power = color->m_power;
    return record;
}

std::unique_ptr<UndoRecord> MaterialRecord::CaptureCurrent() const {
    const CMainDoc* doc = GetApp()->m_pDocument;
    return doc ? Capture(*doc, m_generalName) : nullptr;
}

bool MaterialRecord::Apply() const {
    CMainDoc* doc = GetApp()->m_pDocument;
    if (!doc) return false;
    bool found = false;
    for (CPartObject* part : doc->AllParts())
        for (const auto& color : part->ColorObjects()) {
            if (color->m_generalName != m_generalName) continue;
            color->m_diffuse = m_diffuse;
            color->m_specular = m_specular;
            color->m_emissive = m_emissive;
            color->m_power = m_power;
            color->ApplyColor();
            found = true;
        }
    if (!found) return false;
    // The material page shows the selected part's values again.
    CMainApp* app = GetApp();
    const CPartsTree* tree = doc->Tree();
    win::PostMessage(app->m_pMaterialDlg, win::WM_TREE_SELECTION_CHANGED, tree ? tree->GetSelectedItem() : 0);
    RedrawScene();
    return true;
}

std::unique_ptr<LightColourRecord> LightColourRecord::Capture(int index) {
    if (index < 0 || index >= kLightCount) return nullptr;
    return std::unique_ptr<LightColourRecord>(new LightColourRecord(index, GetLightColour(index)));
}

std::unique_ptr<UndoRecord> LightColourRecord::CaptureCurrent() const { return Capture(m_index); }

bool LightColourRecord::Apply() const {
    SetLightColour(m_index, m_colour);
    win::PostMessage(GetApp()->m_pLightDlg, win::WM_REFRESH);
    RedrawScene();
    return true;
}

std::unique_ptr<SettingRecord> SettingRecord::Capture(std::string section, std::string key) {
    const auto& values = GetApp()->Settings().Values();
    std::optional<std::string> value;
    if (auto it = values.find(section + "/" + key); it != values.end()) value = it->second;
    return std::unique_ptr<SettingRecord>(new SettingRecord(std::move(section), std::move(key), std::move(value)));
}

std::unique_ptr<UndoRecord> SettingRecord::CaptureCurrent() const { return Capture(m_section, m_key); }

bool SettingRecord::Apply() const {
    CMainApp* app = GetApp();
    if (m_value)
        app->SetSettingString(m_section, m_key, *m_value);
    else
        app->Settings().RemoveSetting(m_section, m_key);
    win::PostMessage(app->m_pCameraDlg, win::WM_REFRESH);
    win::PostMessage(app->m_p3DView, win::WM_SETTINGS_CHANGED);
    return true;
}

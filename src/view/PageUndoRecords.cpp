#include "view/PageUndoRecords.h"

#include "core/MainApp.h"
#include "platform/win/WindowMessages.h"
#include "scene/ColorObject.h"
#include "scene/MainDoc.h"
#include "view/LightColours.h"

namespace {

void RedrawScene() { win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH); }

// The part whose frame has that name (frame names are unique in the scene).
CPartObject* PartWithFrame(const CMainDoc& doc, const std::string& frameName) {
    for (CPartObject* part : doc.AllParts())
        if (part->GetFrame() && part->GetFrame()->GetName() == frameName) return part;
    return nullptr;
}

}  // namespace

std::unique_ptr<MaterialRecord> MaterialRecord::Capture(const CMainDoc& doc, const std::string& generalName,
                                                        std::optional<int> group) {
    auto record = std::unique_ptr<MaterialRecord>(new MaterialRecord);
    record->m_generalName = generalName;
    record->m_group = group;
    for (const CPartObject* part : doc.AllParts()) {
        // A part without a frame could not be found again, and shows nothing to restore.
        if (!part->GetFrame() || !CMainDoc::InColourGroup(*part, group)) continue;
        const auto& colors = part->ColorObjects();
        for (std::size_t i = 0; i < colors.size(); ++i)
            if (colors[i]->m_generalName == generalName)
                record->m_objects.push_back({part->GetFrame()->GetName(), i, colors[i]->m_diffuse,
                                             colors[i]->m_specular, colors[i]->m_emissive, colors[i]->m_power});
    }
    if (record->m_objects.empty()) return nullptr;
    return record;
}

std::unique_ptr<UndoRecord> MaterialRecord::CaptureCurrent() const {
    const CMainDoc* doc = GetApp()->m_pDocument;
    return doc ? Capture(*doc, m_generalName, m_group) : nullptr;
}

bool MaterialRecord::Apply() const {
    CMainDoc* doc = GetApp()->m_pDocument;
    if (!doc) return false;
    bool found = false;
    for (const Values& values : m_objects) {
        CPartObject* part = PartWithFrame(*doc, values.frameName);
        if (!part || values.index >= part->ColorObjects().size()) continue;
        CColorObject& color = *part->ColorObjects()[values.index];
        if (color.m_generalName != m_generalName) continue;
        color.m_diffuse = values.diffuse;
        color.m_specular = values.specular;
        color.m_emissive = values.emissive;
        color.m_power = values.power;
        color.ApplyColor();
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

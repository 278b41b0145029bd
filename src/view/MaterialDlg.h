#pragma once
// The material page (ｶﾗｰ): the general names of the selected part's colours, the object, emission
// and highlight colours and the highlight strength of the chosen one, and a palette of named
// materials kept while the page lives. A change reaches every colour object of the general name in
// the scene at once, and is one step of the edit view's undo history.
//
// The page keeps no pointer into the scene: it remembers the tree item of the part it shows and
// the general names, and finds the colour object again for every action. A part that is gone
// (deleted, or a new scene) leaves the page empty and disabled.

#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/WindowMessages.h"
#include "scene/PartsTree.h"

class CColorObject;
class CColorSwatchButton;
class QListWidget;
class QPushButton;
class QSlider;
class QTreeWidget;

class CMaterialDlg final : public win::CMessageWindow<QWidget> {
  public:
    // One named material of the palette (COLORREF colours).
    struct PaletteRecord {
        std::uint32_t object = 0;
        std::uint32_t highlight = 0;
        std::uint32_t emission = 0;
        float power = 0;
    };

    explicit CMaterialDlg(QWidget* parent);
    ~CMaterialDlg() override;

    // Fills the page from the part of a main-tree item (a leaf with a part), or empties it.
    void ShowPart(HTREEITEM item);

    // The controls, for the main view's layout and for tests.
    QTreeWidget* Names() const { return m_names; }
    CColorSwatchButton* ObjectButton() const { return m_object; }
    CColorSwatchButton* EmissionButton() const { return m_emission; }
    CColorSwatchButton* HighlightButton() const { return m_highlight; }
    QSlider* PowerSlider() const { return m_power; }
    QListWidget* PaletteList() const { return m_paletteList; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* LoadButton() const { return m_load; }
    QPushButton* DeleteButton() const { return m_delete; }
    const std::map<std::string, PaletteRecord>& Palette() const { return m_palette; }

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

  private:
    enum class Swatch { Object, Emission, Highlight };

    void Empty();
    void EnableAll(bool enable);
    // The general name selected in the list of names, if any.
    std::optional<std::string> SelectedName() const;
    // The first colour object of the selected name on the shown part; null when either is gone
    // (the page is then emptied).
    CColorObject* SelectedColor();
    void ShowValues();
    void ChooseColor(Swatch swatch);
    void ApplyPower();
    void SavePalette();
    void LoadPalette();
    void DeletePalette();
    // Copies the object's values to every colour object of its general name in the colour group
    // (CMainDoc::ColourGroupOf), applies them, and asks for a redraw.
    void ApplyMaterial(const CColorObject& source, std::optional<int> group);
    // Runs `change` on the selected colour object and copies the result to the whole material, as
    // one undo step when any object of the name changed.
    template <typename Change>
    void ChangeMaterial(Change change);

    QTreeWidget* m_names;
    CColorSwatchButton* m_object;
    CColorSwatchButton* m_emission;
    CColorSwatchButton* m_highlight;
    QSlider* m_power;
    QListWidget* m_paletteList;
    QPushButton* m_save;
    QPushButton* m_load;
    QPushButton* m_delete;
    std::vector<QWidget*> m_controls;

    HTREEITEM m_partItem = 0;
    bool m_showing = false;
    std::map<std::string, PaletteRecord> m_palette;
};

#pragma once
// Undo records of the pages' changes: a material (every colour object of a general name), a light
// colour, and a setting. Each finds what it restores again when applied (by general name, light
// index, section and key), so it never keeps a pointer into a scene that may have changed, and each
// tells the windows that show the value.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "view/UndoHistory.h"

class CMainDoc;

// Diffuse, specular, emissive (0x00RRGGBB) and power of every colour object of one general name
// (within one figure, or the props, when the scene holds several figures),
// each object's own: objects of one name may differ (a newly loaded part starts from its mesh's
// colours). An object is found again by its part's frame name and its place among the part's
// colour objects.
class MaterialRecord final : public UndoRecord {
  public:
    // The values of every colour object of that name in the colour group (CMainDoc::ColourGroupOf;
    // nothing: every part); null when no such part has one.
    static std::unique_ptr<MaterialRecord> Capture(const CMainDoc& doc, const std::string& generalName,
                                                   std::optional<int> group = std::nullopt);

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    // Gives each colour object its own values back and applies them; false when none is left.
    bool Apply() const override;

    const std::string& GeneralName() const { return m_generalName; }
    // Whether both records hold the same objects with the same values.
    bool SameAs(const MaterialRecord& other) const { return m_objects == other.m_objects; }

  private:
    struct Values {
        std::string frameName;   // the owning part's frame
        std::size_t index = 0;   // among the part's colour objects
        std::uint32_t diffuse = 0, specular = 0, emissive = 0;
        float power = 0;
        friend bool operator==(const Values&, const Values&) = default;
    };
    std::string m_generalName;
    std::optional<int> m_group;
    std::vector<Values> m_objects;
};

// The colour (COLORREF) of the light of an index, with its marker.
class LightColourRecord final : public UndoRecord {
  public:
    static std::unique_ptr<LightColourRecord> Capture(int index);

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    bool Apply() const override;

  private:
    LightColourRecord(int index, std::uint32_t colour) : m_index(index), m_colour(colour) {}
    int m_index;
    std::uint32_t m_colour;
};

// One value of the settings store (absent is a value too). Applying asks the edit view to read
// its settings again and the camera page to show them.
class SettingRecord final : public UndoRecord {
  public:
    static std::unique_ptr<SettingRecord> Capture(std::string section, std::string key);

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    bool Apply() const override;

  private:
    SettingRecord(std::string section, std::string key, std::optional<std::string> value)
        : m_section(std::move(section)), m_key(std::move(key)), m_value(std::move(value)) {}
    std::string m_section, m_key;
    std::optional<std::string> m_value;
};

#pragma once
// The settings store: one map of text values keyed "section/key", kept in profile.dat in the
// application folder. Integers are kept as "%d" text, reals as "%f" text; every read names its
// default. The file is a GUID signature, a counted number of entries and counted key/value strings.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CSettingsStore {
public:
    std::string GetSettingString(std::string_view section, std::string_view key, std::string_view def) const;
    std::int32_t GetSettingInt(std::string_view section, std::string_view key, std::int32_t def) const;
    float GetSettingFloat(std::string_view section, std::string_view key, float def) const;
    void SetSettingString(std::string_view section, std::string_view key, std::string_view value);
    void SetSettingInt(std::string_view section, std::string_view key, std::int32_t value);
    void SetSettingFloat(std::string_view section, std::string_view key, float value);
    // Forgets the value, so that reads give their defaults again.
    void RemoveSetting(std::string_view section, std::string_view key);

    // Reads folder + name. False (and an empty store) when the file is missing, foreign, truncated
    // or malformed.
    bool LoadProfile(const std::string& folder, const std::string& name);
    // Writes folder + name through a temporary file renamed into place, so a failure while saving
    // leaves the previous file intact. False when the folder is shorter than 2 characters or the
    // file cannot be written.
    bool SaveProfile(const std::string& folder, const std::string& name) const;

    // The file image of the store and its parser, exposed for tests and the fuzz harness.
    std::vector<std::uint8_t> Serialize() const;
    bool Deserialize(const std::uint8_t* data, std::size_t size);

    void Clear() { m_values.clear(); }
    const std::map<std::string, std::string, std::less<>>& Values() const { return m_values; }

private:
    std::map<std::string, std::string, std::less<>> m_values;
};

// "%d" and "%f" text forms, and atoi/atof parsing, as the store uses them.
std::string FormatSettingInt(std::int32_t value);
std::string FormatSettingFloat(float value);
std::int32_t ParseSettingInt(std::string_view text);
float ParseSettingFloat(std::string_view text);

#include "core/SettingsStore.h"

#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/ArchiveStream.h"

namespace {

// {3F9C2B47-81D0-4E6A-9B25-6C1E0A7D4F93} in GUID byte layout: the 32-bit and the two 16-bit groups
// little-endian, the last eight bytes in order.
constexpr std::uint8_t kSignature[16] = {0x47, 0x2B, 0x9C, 0x3F, 0xD0, 0x81, 0x6A, 0x4E,
                                         0x9B, 0x25, 0x6C, 0x1E, 0x0A, 0x7D, 0x4F, 0x93};

std::string MapKey(std::string_view section, std::string_view key) {
    std::string k(section);
    k += '/';
    k += key;
    return k;
}

}  // namespace

std::string FormatSettingInt(std::int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

std::string FormatSettingFloat(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
    return buffer;
}

std::int32_t ParseSettingInt(std::string_view text) {
    const std::string s(text);
    return static_cast<std::int32_t>(std::atoi(s.c_str()));
}

float ParseSettingFloat(std::string_view text) {
    const std::string s(text);
    return static_cast<float>(std::atof(s.c_str()));
}

std::string CSettingsStore::GetSettingString(std::string_view section, std::string_view key,
                                             std::string_view def) const {
    const auto it = m_values.find(MapKey(section, key));
    return it == m_values.end() ? std::string(def) : it->second;
}

std::int32_t CSettingsStore::GetSettingInt(std::string_view section, std::string_view key, std::int32_t def) const {
    return ParseSettingInt(GetSettingString(section, key, FormatSettingInt(def)));
}

float CSettingsStore::GetSettingFloat(std::string_view section, std::string_view key, float def) const {
    return ParseSettingFloat(GetSettingString(section, key, FormatSettingFloat(def)));
}

void CSettingsStore::SetSettingString(std::string_view section, std::string_view key, std::string_view value) {
    m_values[MapKey(section, key)] = std::string(value);
}

void CSettingsStore::RemoveSetting(std::string_view section, std::string_view key) {
    if (auto it = m_values.find(MapKey(section, key)); it != m_values.end()) m_values.erase(it);
}

void CSettingsStore::SetSettingInt(std::string_view section, std::string_view key, std::int32_t value) {
    SetSettingString(section, key, FormatSettingInt(value));
}

void CSettingsStore::SetSettingFloat(std::string_view section, std::string_view key, float value) {
    SetSettingString(section, key, FormatSettingFloat(value));
}

std::vector<std::uint8_t> CSettingsStore::Serialize() const {
    StoringArchive out;
    out.WriteBytes(std::span<const std::uint8_t>(kSignature));
    out.WriteCount(static_cast<std::uint32_t>(m_values.size()));
    for (const auto& [key, value] : m_values) {
        out.WriteString(key);
        out.WriteString(value);
    }
    return out.TakeBytes();
}

bool CSettingsStore::Deserialize(const std::uint8_t* data, std::size_t size) {
    m_values.clear();
    LoadingArchive in(std::span<const std::uint8_t>(data, size));
    const std::string signature = in.ReadBytes(sizeof kSignature);
    if (!in.Ok() || std::memcmp(signature.data(), kSignature, sizeof kSignature) != 0) return false;
    const std::uint32_t count = in.ReadCount();
    // Each entry takes at least two bytes (two empty strings): a count beyond that is a lie.
    if (!in.Ok() || count > in.Remaining() / 2) return false;
    std::map<std::string, std::string, std::less<>> values;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string key = in.ReadString();
        std::string value = in.ReadString();
        if (!in.Ok()) return false;
        values[std::move(key)] = std::move(value);
    }
    m_values = std::move(values);
    return true;
}

bool CSettingsStore::LoadProfile(const std::string& folder, const std::string& name) {
    m_values.clear();
    std::ifstream file(folder + name, std::ios::binary);
    if (!file) return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    return Deserialize(bytes.data(), bytes.size());
}

bool CSettingsStore::SaveProfile(const std::string& folder, const std::string& name) const {
    if (folder.size() < 2) return false;
    const std::vector<std::uint8_t> bytes = Serialize();
    QSaveFile file(QString::fromStdString(folder + name));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

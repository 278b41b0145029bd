#include "scene/WholeFile.h"

#include <QFile>
#include <QSaveFile>

namespace scene {

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.readAll();
    bytes.assign(data.begin(), data.end());
    return true;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    QSaveFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        file.cancelWriting();
        return false;
    }
    return true;
}

}  // namespace scene

#include "pictures/PictureFile.h"

#include <QSaveFile>

bool SavePictureFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

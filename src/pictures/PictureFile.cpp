#include "pictures/PictureFile.h"

#include "platform/Files.h"

bool SavePictureFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return false;
    return WriteFileAtomically(
        path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

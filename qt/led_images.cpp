#include "qt/led_images.h"

#include <QImage>

#include <algorithm>
#include <limits>

namespace vt {

bool loadPicture(const platform::FileSystem& files, std::string_view path, QPixmap& picture) {
    picture = QPixmap();
    const std::optional<std::string> bytes = files.readFile(path);
    if (!bytes) {
        return false;
    }
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                            static_cast<int>(std::min<std::size_t>(
                                bytes->size(), std::numeric_limits<int>::max())))) {
        return false;
    }
    picture = QPixmap::fromImage(image);
    return true;
}

}  // namespace vt

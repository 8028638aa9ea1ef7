#pragma once

// The four LED pictures of the group rows and the status windows, loaded once at start.

#include <QPixmap>

#include <string_view>

#include "platform/platform.h"

namespace vt {

struct LedImages {
    QPixmap LedRed;
    QPixmap LedGreen;
    QPixmap LedOrange;
    QPixmap LedGrey;
};

inline constexpr const char* kLedRedFile = "led-rouge.bmp";
inline constexpr const char* kLedGreenFile = "led-vert.bmp";
inline constexpr const char* kLedOrangeFile = "led-orange.bmp";
inline constexpr const char* kLedGreyFile = "led-gris.bmp";

// Loads a picture file; false, with the picture left empty, when the file is missing or holds
// no picture.
bool loadPicture(const platform::FileSystem& files, std::string_view path, QPixmap& picture);

}  // namespace vt

#include "built_in_skins.h"

// Drawn at build time by make_built_in_skins.
extern const unsigned char kBuiltInKnobPixels[];
extern const unsigned char kBuiltInButtonPixels[];

namespace {

// An image over the built-in pixels, without copying them: drawing on it detaches a copy.
QImage stripOver(const unsigned char* pixels, int frames, int frameWidth, int frameHeight) {
    const int width = frames * frameWidth;
    return QImage(pixels, width, frameHeight, 3 * width, QImage::Format_RGB888);
}

} // namespace

QImage builtInKnobSkin() {
    return stripOver(kBuiltInKnobPixels, kBuiltInKnobFrames, kBuiltInKnobFrameWidth,
                     kBuiltInKnobFrameHeight);
}

QImage builtInButtonSkin() {
    return stripOver(kBuiltInButtonPixels, kBuiltInButtonFrames, kBuiltInButtonFrameSide,
                     kBuiltInButtonFrameSide);
}

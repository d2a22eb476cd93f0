// Lcd: the enumerations of the dot-matrix LCD's properties, shared by the widget and its helpers.
#pragma once

#include <QObject>

namespace Lcd {
Q_NAMESPACE

enum DotMatrix { mat5x7, mat5x8, mat7x9, mat9x12, Hitachi, Hitachi2, dos5x7, CustomFont };
Q_ENUM_NS(DotMatrix)

// pixNxN draws each dot as N x N screen pixels; pixCustom uses PixelWidth x PixelHeight.
enum PixelSize {
    pix1x1,
    pix2x2,
    pix3x3,
    pix4x4,
    pix5x5,
    pix6x6,
    pix7x7,
    pix8x8,
    pix9x9,
    pix10x10,
    pix11x11,
    pix12x12,
    pix13x13,
    pix14x14,
    pix15x15,
    pix16x16,
    pixCustom
};
Q_ENUM_NS(PixelSize)

enum PixelShape { spSquare, spShaped, spRound };
Q_ENUM_NS(PixelShape)

enum BorderStyle { frRaised, frLowered, frSingle, frNone };
Q_ENUM_NS(BorderStyle)

} // namespace Lcd

// Draws the skin strips and pictures of the example desks into a folder: a mixer knob strip, two
// pad strips (momentary and latching), the mixer's logo as a bitmap and its badge as a JPEG.
#include "built_in_skins.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

QPointF polar(QPointF centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

// 32 frames of 32 x 32: a flat grey cap with a white line, over a green ring lit to the pointer.
QImage mixerKnobStrip() {
    constexpr int kFrames = 32;
    constexpr int kSide = 32;
    QImage strip(kFrames * kSide, kSide, QImage::Format_RGB888);
    strip.fill(kSkinKeyColour);
    QPainter p(&strip);
    for (int f = 0; f < kFrames; ++f) {
        const QPointF centre(f * kSide + kSide / 2.0, kSide / 2.0);
        const double pointer = 225.0 - 270.0 * f / (kFrames - 1);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 3));
        p.drawArc(QRectF(centre - QPointF(14, 14), QSizeF(28, 28)), -45 * 16, 270 * 16);
        p.setPen(QPen(QColor(0x40, 0xE0, 0x60), 3));
        p.drawArc(QRectF(centre - QPointF(14, 14), QSizeF(28, 28)), int(pointer * 16),
                  int((225.0 - pointer) * 16));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0x90, 0x90, 0x98));
        p.drawEllipse(centre, 10, 10);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(centre, polar(centre, 9, pointer));
    }
    return strip;
}

// 8 frames of 40 x 40: a rounded pad whose light comes up frame by frame. The unlit pad is a
// mid grey with a light rim, so it stands out from a dark desk; a lit pad sinks by a pixel.
QImage padStrip(QColor light) {
    constexpr int kFrames = 8;
    constexpr int kSide = 40;
    constexpr double kUnlit = 0.36;
    QImage strip(kFrames * kSide, kSide, QImage::Format_RGB888);
    strip.fill(kSkinKeyColour);
    QPainter p(&strip);
    for (int f = 0; f < kFrames; ++f) {
        const double share = double(f) / (kFrames - 1);
        const QRectF pad(f * kSide + 3, 3, kSide - 6, kSide - 6);
        const QColor lit = QColor::fromRgbF(kUnlit + (light.redF() - kUnlit) * share,
                                            kUnlit + (light.greenF() - kUnlit) * share,
                                            kUnlit + (light.blueF() - kUnlit) * share);
        p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0).darker(100 + 60 * f / (kFrames - 1)), 2));
        p.setBrush(lit);
        p.drawRoundedRect(pad.translated(0, f > 3 ? 1 : 0), 6, 6);
    }
    return strip;
}

QImage logo() {
    QImage image(120, 36, QImage::Format_RGB888);
    image.fill(QColor(0x20, 0x28, 0x38));
    QPainter p(&image);
    p.setPen(QColor(0x40, 0xE0, 0x60));
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("PULTRON"));
    return image;
}

QImage badge() {
    QImage image(48, 36, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 48, 36);
    shade.setColorAt(0, QColor(0xF0, 0xA0, 0x20));
    shade.setColorAt(1, QColor(0x80, 0x30, 0x10));
    p.fillRect(image.rect(), shade);
    p.setPen(Qt::white);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("64"));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_desk_skins FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool written =
        mixerKnobStrip().save(folder.filePath("mixer_knob.bmp"), "BMP") &&
        padStrip(QColor(0xFF, 0x40, 0x30)).save(folder.filePath("pad_push.bmp"), "BMP") &&
        padStrip(QColor(0x30, 0xC0, 0xFF)).save(folder.filePath("pad_latch.bmp"), "BMP") &&
        logo().save(folder.filePath("mixer_logo.bmp"), "BMP") &&
        badge().save(folder.filePath("mixer_badge.jpg"), "JPG", 90);
    if (!written) std::fprintf(stderr, "make_desk_skins: cannot write into %s\n", argv[1]);
    return written ? 0 : 1;
}

// Draws the program's built-in skins at build time and writes their pixels as C++ source, so
// that the programs start with them ready instead of drawing them on every start.
#include "built_in_skins.h"

#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// Skins have no alpha channel: edge pixels are blended onto a light grey and everything the
// drawing hardly touches becomes the key colour.
QImage flattenOntoKey(const QImage& drawing) {
    constexpr int kEdge = 0xEF;
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage flat(source.size(), QImage::Format_RGB888);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = flat.scanLine(y);
        for (int x = 0; x < source.width(); ++x, out += 3) {
            const QRgb c = in[x];
            const int a = qAlpha(c);
            if (a < 64) {
                out[0] = qRed(kSkinKeyColour);
                out[1] = qGreen(kSkinKeyColour);
                out[2] = qBlue(kSkinKeyColour);
                continue;
            }
            auto blend = [a](int channel) { return (channel * a + kEdge * (255 - a) + 127) / 255; };
            out[0] = static_cast<uchar>(blend(qRed(c)));
            out[1] = static_cast<uchar>(blend(qGreen(c)));
            out[2] = static_cast<uchar>(blend(qBlue(c)));
        }
    }
    return flat;
}

QPointF polar(QPointF centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

void drawKnobFrame(QPainter& p, QPointF centre, int frame) {
    constexpr double kSweepStart = 240.0;
    constexpr double kSweep = 300.0;
    constexpr int kTicks = 11;
    const double pointerAngle = kSweepStart - kSweep * frame / (kBuiltInKnobFrames - 1);
    // Scale: amber up to the pointer, dark beyond it.
    for (int t = 0; t < kTicks; ++t) {
        const double angle = kSweepStart - kSweep * t / (kTicks - 1);
        const bool lit = angle >= pointerAngle - 0.01;
        p.setPen(QPen(lit ? QColor(0xFF, 0xA0, 0x10) : QColor(0x50, 0x50, 0x50), 2.0, Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(polar(centre, 19.0, angle), polar(centre, 21.0, angle));
    }
    QRadialGradient body(centre - QPointF(5, 6), 22);
    body.setColorAt(0.0, QColor(0x80, 0x80, 0x88));
    body.setColorAt(0.6, QColor(0x38, 0x38, 0x3C));
    body.setColorAt(1.0, QColor(0x18, 0x18, 0x1A));
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 1.0));
    p.setBrush(body);
    p.drawEllipse(centre, 16.0, 16.0);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(polar(centre, 6.0, pointerAngle), polar(centre, 14.0, pointerAngle));
}

void drawButtonFrame(QPainter& p, QPointF centre, int frame) {
    const double depth = static_cast<double>(frame) / (kBuiltInButtonFrames - 1);
    const QPointF face = centre + QPointF(0, depth * 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawEllipse(centre + QPointF(0, 1.5), 16.0, 16.0);
    QRadialGradient cap(face - QPointF(4, 5 - 3 * depth), 18);
    cap.setColorAt(0.0, QColor::fromHsvF(0, 0, 0.85 - 0.25 * depth));
    cap.setColorAt(1.0, QColor::fromHsvF(0, 0, 0.45 - 0.15 * depth));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.0));
    p.setBrush(cap);
    p.drawEllipse(face, 14.0, 14.0);
    p.setPen(QPen(QColor(0x40, 0x00, 0x00), 1.0));
    p.setBrush(QColor::fromHsvF(0, 1.0, 0.3 + 0.7 * depth));
    p.drawEllipse(face, 5.0, 5.0);
}

template <typename DrawFrame>
QImage drawStrip(int frames, int frameWidth, int frameHeight, DrawFrame drawFrame) {
    QImage drawing(frames * frameWidth, frameHeight, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::transparent);
    QPainter painter(&drawing);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int f = 0; f < frames; ++f)
        drawFrame(painter, QPointF(f * frameWidth + frameWidth / 2.0, frameHeight / 2.0), f);
    painter.end();
    return flattenOntoKey(drawing);
}

// The pixels, rows of 3 bytes a pixel without padding, as string literals of escapes; the array
// is 4-byte aligned, as a QImage over outside data needs.
bool writeArray(std::FILE* out, const char* name, const QImage& image) {
    std::fprintf(out, "alignas(4) extern const unsigned char %s[] =", name);
    const int rowBytes = 3 * image.width();
    int written = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < rowBytes; ++x, ++written) {
            if (written % 32 == 0) std::fputs(written == 0 ? "\n    \"" : "\"\n    \"", out);
            std::fprintf(out, "\\x%02x", row[x]);
        }
    }
    return std::fputs("\";\n", out) >= 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_built_in_skins OUTPUT.cpp\n", stderr);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fputs("// Generated by make_built_in_skins; the built-in skins' pixels, RGB888.\n", out);
    const bool written = writeArray(out, "kBuiltInKnobPixels",
                                    drawStrip(kBuiltInKnobFrames, kBuiltInKnobFrameWidth,
                                              kBuiltInKnobFrameHeight, drawKnobFrame)) &&
                         writeArray(out, "kBuiltInButtonPixels",
                                    drawStrip(kBuiltInButtonFrames, kBuiltInButtonFrameSide,
                                              kBuiltInButtonFrameSide, drawButtonFrame));
    const bool closed = std::fclose(out) == 0;
    if (written && closed) return 0;
    std::fprintf(stderr, "make_built_in_skins: cannot write %s\n", argv[1]);
    return 1;
}

// Cost of repainting one knob, next to a plain pixmap copy of the same size and a skinned dial.
#include "built_in_skins.h"
#include "knob.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

QImage target(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

void BM_KnobRepaint(benchmark::State& state) {
    TKnob knob;
    knob.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    knob.SetPosition(64);
    QImage image = target(knob.size());
    knob.render(&image); // the face is drawn once per size
    for (auto _ : state) {
        knob.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_KnobRepaint)->Arg(40)->Arg(80);

void BM_KnobTurnAndRepaint(benchmark::State& state) {
    TKnob knob;
    QImage image = target(knob.size());
    int position = 0;
    for (auto _ : state) {
        knob.SetPosition(position = (position + 1) % 128);
        knob.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_KnobTurnAndRepaint);

void BM_PixmapCopyOfKnobSize(benchmark::State& state) {
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    QPixmap source(size);
    source.fill(Qt::gray);
    QImage image = target(size);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.drawPixmap(0, 0, source);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PixmapCopyOfKnobSize)->Arg(40)->Arg(80);

void BM_SkinnedDialRepaint(benchmark::State& state) {
    TVrBitmapList list;
    list.Add(builtInKnobSkin());
    TVrBitmapDial dial;
    dial.SetMaxValue(127);
    dial.SetBitmapList(&list);
    dial.SetColor(QColor::fromRgb(kSkinKeyColour));
    dial.SetTransparent(true);
    dial.SetImageCount(kBuiltInKnobFrames);
    dial.SetBitmapIndex(0);
    QImage image = target(dial.size());
    int position = 0;
    for (auto _ : state) {
        dial.SetPosition(position = (position + 4) % 128);
        dial.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_SkinnedDialRepaint);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Repaint cost of the virtual box's dot-matrix LCD against a plain pixmap copy of its size.
#include "lcd_label.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

namespace {

// The virtual box's display: 4 lines of 16 Hitachi characters of single-pixel dots.
void useVirtualBoxSettings(TLCDLabel& lcd) {
    lcd.setDotMatrix(Lcd::Hitachi);
    lcd.setPixelSize(Lcd::pix1x1);
    lcd.setBorderSpace(6);
    lcd.setTextLines(4);
    lcd.setNoOfChars(16);
}

QImage paintTarget(QSize size) {
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    return target;
}

// A new caption every time, so that each repaint composes all 64 cells again.
void BM_LcdFullRepaint(benchmark::State& state) {
    TLCDLabel lcd;
    useVirtualBoxSettings(lcd);
    const QString captions[2] = {
        QStringLiteral("Potmeter Moved  Cutoff          Knob ID :   3   Value   :  64  "),
        QStringLiteral("Button Pushed      90 3C 7F     Button ID : 5   --------------- "),
    };
    QImage target = paintTarget(lcd.size());
    int next = 0;
    for (auto _ : state) {
        lcd.setCaption(captions[next]);
        next ^= 1;
        lcd.render(&target);
        benchmark::ClobberMemory();
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(lcd.width()).arg(lcd.height()).toStdString());
}
BENCHMARK(BM_LcdFullRepaint);

// A border change: background, border and all 64 cells are drawn again, the glyphs stay cached.
void BM_LcdFullRecompose(benchmark::State& state) {
    TLCDLabel lcd;
    useVirtualBoxSettings(lcd);
    lcd.setCaption(
        QStringLiteral("Potmeter Moved  Cutoff          Knob ID :   3   Value   :  64  "));
    QImage target = paintTarget(lcd.size());
    const Lcd::BorderStyle styles[2] = {Lcd::frRaised, Lcd::frLowered};
    int next = 0;
    for (auto _ : state) {
        lcd.setBorderStyle(styles[next]);
        next ^= 1;
        lcd.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LcdFullRecompose);

// An expose without a change: the composed frame is only copied.
void BM_LcdExposeUnchanged(benchmark::State& state) {
    TLCDLabel lcd;
    useVirtualBoxSettings(lcd);
    lcd.setCaption(
        QStringLiteral("Potmeter Moved  Cutoff          Knob ID :   3   Value   :  64  "));
    QImage target = paintTarget(lcd.size());
    for (auto _ : state) {
        lcd.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LcdExposeUnchanged);

void BM_PixmapCopyOfLcdSize(benchmark::State& state) {
    QPixmap source(188, 72);
    source.fill(QColor(0xC0, 0xC0, 0xC0));
    QImage target = paintTarget(source.size());
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawPixmap(0, 0, source);
        painter.end();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PixmapCopyOfLcdSize);

// The same copy made by a widget whose paint event only draws that pixmap, repainted like the
// LCD: the share of a repaint that is the widget machinery's and not the LCD's.
class PixmapWidget : public QWidget {
public:
    explicit PixmapWidget(const QPixmap& pixmap) : m_pixmap(pixmap) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(pixmap.size());
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, m_pixmap); }

private:
    QPixmap m_pixmap;
};

void BM_PixmapWidgetRepaint(benchmark::State& state) {
    QPixmap source(188, 72);
    source.fill(QColor(0xC0, 0xC0, 0xC0));
    PixmapWidget widget(source);
    QImage target = paintTarget(source.size());
    for (auto _ : state) {
        widget.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PixmapWidgetRepaint);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The yardstick for start-up: a plain Qt program that shows a tab widget holding 60 spin
// boxes, grabs it to a PNG file and exits.
#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QPixmap>
#include <QSpinBox>
#include <QTabWidget>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTabWidget tabs;
    for (int page = 0; page < 4; ++page) {
        auto* widget = new QWidget;
        auto* grid = new QGridLayout(widget);
        for (int i = 0; i < 15; ++i) {
            auto* box = new QSpinBox;
            box->setRange(0, 127);
            grid->addWidget(box, i % 5, i / 5);
        }
        tabs.addTab(widget, QStringLiteral("Page %1").arg(page + 1));
    }
    tabs.resize(577, 452);
    tabs.show();
    QApplication::processEvents();
    QDir().mkpath(dir);
    return tabs.grab().save(QDir(dir).filePath(QStringLiteral("plain.png")), "PNG") ? 0 : 1;
}

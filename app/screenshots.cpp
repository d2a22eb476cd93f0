#include "screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

namespace {

// Quality 89 selects zlib's fastest level: screenshots are for looking at, and the
// default level makes writing them the slowest part of a --screenshot run.
constexpr int kFastPngQuality = 89;

} // namespace

bool saveScreenshot(const QString& dir, const QString& name, const QImage& image, QString* error) {
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot create folder '%1'").arg(dir);
        return false;
    }
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (image.save(path, "PNG", kFastPngQuality))
        return true;
    *error = QStringLiteral("cannot write '%1'").arg(path);
    return false;
}

bool saveScreenshots(const QString& dir, const std::vector<std::pair<QString, QWidget*>>& windows,
                     QString* error) {
    for (const auto& [name, window] : windows) {
        window->show();
        QApplication::processEvents();
        if (!saveScreenshot(dir, name, window->grab().toImage(), error))
            return false;
    }
    return true;
}

#include "screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

namespace {

// Quality 89 selects zlib's fastest level: screenshots are for looking at, and the
// default level makes writing them the slowest part of a --screenshot run.
constexpr int kFastPngQuality = 89;

QString writePng(const QString& path, const QImage& image) {
    return image.save(path, "PNG", kFastPngQuality) ? QString()
                                                    : QStringLiteral("cannot write '%1'").arg(path);
}

} // namespace

void ScreenshotWriter::save(const QString& name, const QImage& image) {
    if (!QDir().mkpath(m_dir)) {
        const QString error = QStringLiteral("cannot create folder '%1'").arg(m_dir);
        m_pending.push_back(std::async(std::launch::deferred, [error] { return error; }));
        return;
    }
    const QString path = QDir(m_dir).filePath(name + QStringLiteral(".png"));
    m_pending.push_back(std::async(std::launch::async, writePng, path, image));
}

void ScreenshotWriter::saveWindow(const QString& name, QWidget& window) {
    window.show();
    QApplication::processEvents();
    save(name, window.grab().toImage());
}

QString ScreenshotWriter::finish() {
    QString firstError;
    for (auto& pending : m_pending) {
        const QString error = pending.get();
        if (firstError.isEmpty()) firstError = error;
    }
    m_pending.clear();
    return firstError;
}

#include "screenshots.h"

#include "png_writer.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

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

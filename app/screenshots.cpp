#include "screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

bool saveScreenshots(const QString& dir, const std::vector<std::pair<QString, QWidget*>>& windows,
                     QString* error) {
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot create folder '%1'").arg(dir);
        return false;
    }
    for (const auto& [name, window] : windows) {
        window->show();
        QApplication::processEvents();
        const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (!window->grab().save(path, "PNG")) {
            *error = QStringLiteral("cannot write '%1'").arg(path);
            return false;
        }
    }
    return true;
}

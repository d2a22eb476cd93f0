// ScreenshotWriter: saves the program's windows and pictures as PNG files, encoding each on a
// worker thread so that the GUI thread can go on building the next window meanwhile.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <future>
#include <vector>

class ScreenshotWriter {
public:
    explicit ScreenshotWriter(QString dir) : m_dir(std::move(dir)) {}
    ~ScreenshotWriter() { finish(); }

    // Starts writing DIR/<name>.png.
    void save(const QString& name, const QImage& image);
    // Shows the window, grabs it and starts writing it.
    void saveWindow(const QString& name, QWidget& window);
    // Waits for every file; the first problem is returned, an empty text when all went well.
    QString finish();

private:
    QString m_dir;
    std::vector<std::future<QString>> m_pending;
};

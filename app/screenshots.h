// Renders the program's top-level windows and its widget gallery to PNG files.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <vector>

// Saves each window as DIR/<name>.png; returns false when the folder or a file cannot be written.
bool saveScreenshots(const QString& dir, const std::vector<std::pair<QString, QWidget*>>& windows,
                     QString* error);

// Saves one picture as DIR/<name>.png.
bool saveScreenshot(const QString& dir, const QString& name, const QImage& image, QString* error);

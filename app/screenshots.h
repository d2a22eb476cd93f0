// Renders the program's top-level windows to PNG files.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

// Saves each window as DIR/<name>.png; returns false when the folder or a file cannot be written.
bool saveScreenshots(const QString& dir, const std::vector<std::pair<QString, QWidget*>>& windows,
                     QString* error);

// Command-line options of the GUI program.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct GuiOptions {
    QString settingsFile;  // optional first argument
    QString screenshotDir; // --screenshot DIR
    QString midiApi = QStringLiteral("all");
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name; returns an error text for bad arguments.
std::optional<GuiOptions> parseGuiOptions(const QStringList& args, QString* error);
QString guiUsage();

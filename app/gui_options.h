// Command-line options of the GUI program.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct GuiOptions {
    QString settingsFile;    // optional first argument
    QString startupBankFile; // the first argument instead, when it is a SysEx dump
    QString screenshotDir;   // --screenshot DIR
    QString galleryDir;      // --gallery DIR
    QString midiApi = QStringLiteral("all");
    bool help = false;
    bool version = false;

    bool rendersPictures() const { return !screenshotDir.isEmpty() || !galleryDir.isEmpty(); }
};

// Parses the arguments after the program name; returns an error text for bad arguments. A first
// argument that is a SysEx dump (its first byte is F0), as a file manager passes it, is the bank
// to start with; any other first argument is the settings file.
std::optional<GuiOptions> parseGuiOptions(const QStringList& args, QString* error);
QString guiUsage();

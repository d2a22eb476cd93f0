// ProgramFolders: where the program finds the files it ships with and where it keeps the user's
// settings file. Run from the build tree, both are the program's own folder. Installed under a
// prefix, the shipped files are in <prefix>/share/vpultron64 and the user's settings file is
// ~/.config/Pultron/vpt64presets.ini, made from the shipped one on its first write, so that the
// installation itself is never written.
#pragma once

#include <QString>

struct ProgramFolders {
    QString shipped;         // the shipped presets file and the customfiles folder
    QString userSettingsDir; // empty when run from the build tree

    // `programDir` is the folder of the running program, `configHome` the user's configuration
    // folder (~/.config).
    static ProgramFolders locate(const QString& programDir, const QString& configHome);
    // The folders of the running program.
    static ProgramFolders current();

    bool installed() const { return !userSettingsDir.isEmpty(); }
    // The folder whose vpt64presets.ini is read when no settings file is named: the user's copy
    // once it exists, else the shipped file.
    QString settingsDir() const;
    // The user's copy of the settings file; empty when run from the build tree.
    QString userSettingsFile() const;
    // The file that writing `settingsFile` must go to: the user's copy when `settingsFile` is the
    // installed one, created from it first; `settingsFile` itself otherwise. Empty when the
    // user's copy cannot be created.
    QString writableSettingsFile(const QString& settingsFile) const;
};

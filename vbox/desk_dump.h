// The desk dump: the controls of a desk window written as a custom desk description, a starting
// point for a desk of one's own. Known controls only, with their type, caption, Tag and place.
#pragma once

#include "settings_file.h"

#include <QString>

class QWidget;

// [Form] first, then one section per direct child control of a known class, named by its type
// and its index among the window's child widgets, each with its keys in the order they are written.
SettingsFile::Writes describeDesk(const QWidget& window);

// Writes the keys into the file at `path` as key-by-key writes would: a key already there is
// replaced, all other content stays. The file is replaced in one step; false when it cannot be
// written.
bool writeDeskDump(const SettingsFile::Writes& dump, const QString& path);

// Where "customdesk.ini" goes: beside the program when that folder can be written, else the
// user's documents folder.
QString deskDumpPath(const QString& programFolder);

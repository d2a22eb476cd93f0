// The desk dump: the controls of a desk window written as a custom desk description, a starting
// point for a desk of one's own. Known controls only, with their type, caption, Tag and place.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <vector>

class QWidget;

struct DumpSection {
    QString name;
    QList<QPair<QString, QString>> keys; // in the order they are written
};

// [Form] first, then one section per direct child control of a known class, named by its type
// and its index among the window's child widgets.
std::vector<DumpSection> describeDesk(const QWidget& window);

// Writes the sections into the file at `path` as key-by-key writes would: a key already there is
// replaced, all other content stays. The file is replaced in one step; false when it cannot be
// written.
bool writeDeskDump(const std::vector<DumpSection>& sections, const QString& path);

// Where "customdesk.ini" goes: beside the program when that folder can be written, else the
// user's documents folder.
QString deskDumpPath(const QString& programFolder);

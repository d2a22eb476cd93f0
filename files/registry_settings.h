// The transfer settings that persist between runs: ports, block delay, device id, bank number
// the starting folders of the two SysEx file dialogs and the library folder.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

namespace registry_settings {

// The texts are stored under these names; numbers as decimal text.
struct TransferSettings {
    int midiInPort = 0; // item of the port selector: 0 "None", n the n-th device
    int midiOutPort = 0;
    QString midiInPortName;  // the chosen device's name; empty for "None" or settings made
    QString midiOutPortName; // before names were kept
    int blockDelay = 750;
    int deviceId = 0;
    int patternNumber = 1;
    QString savePath; // empty: the default folder
    QString openPath;
    QString libraryPath; // the "Library" page's folder; empty until one is chosen
    QStringList recentFiles; // the banks opened or stored last, newest first

    bool operator==(const TransferSettings&) const = default;
};

// The user's settings: QSettings("Pultron", "vPultron64") in the platform's own format.
std::unique_ptr<QSettings> open();

// Missing values and values that are not decimal numbers give the defaults above.
TransferSettings read(const QSettings& settings);
void write(QSettings& settings, const TransferSettings& values);

// The selector item for a stored choice among `devices`. A stored name wins while that device is
// there and gives "None" when it has gone, so a bank never reaches another device that took its
// place in the list; without a name the stored index counts, "None" when it is out of range.
int portSelectorIndex(int storedIndex, const QString& storedName, const QStringList& devices);

// Where dialogs start and files go that belong beside the program: the program's folder when it
// can be written, else the user's documents folder (an installed program).
QString defaultFolder(const QString& programDir);

} // namespace registry_settings

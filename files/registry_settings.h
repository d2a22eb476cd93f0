// The settings that persist between runs: ports, block delay, device id, bank number, the
// starting folders of the two SysEx file dialogs, the library folder, the desk chosen last and
// where the windows were.
#pragma once

#include <QList>
#include <QRect>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

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

// The desk the user chose instead of the one the settings file names: `deskFile` is a custom
// desk description, empty for the standard desk. It holds only while the settings file still
// names `instead`: a settings file edited or named since has its say again.
struct DeskChoice {
    QString deskFile;
    QString instead;

    bool operator==(const DeskChoice&) const = default;
};

std::optional<DeskChoice> readDeskChoice(const QSettings& settings);
// Nothing is kept when the run ends with the settings file's own desk.
void writeDeskChoice(QSettings& settings, const std::optional<DeskChoice>& choice);

// Where a window was: its frame's top left corner and its inner size, under the window's name;
// for a custom desk also the description it was built from, as the place belongs to that desk.
struct WindowPlace {
    // Invalid when none was kept or the text kept is no place; far-off numbers come back bounded
    // (within a million pixels), so that arithmetic on the place cannot overflow.
    QRect place;
    QString deskFile;
};

WindowPlace readWindowPlace(const QSettings& settings, const QString& window);
void writeWindowPlace(QSettings& settings, const QString& window, const WindowPlace& place);

// `place` moved and shrunk onto the screen it overlaps most, else onto the first of `screens`
// (their available areas, the primary first), so that every part of the window can be reached.
// Nothing for an invalid place or without screens. `place` is bounded as readWindowPlace gives it.
std::optional<QRect> reachablePlace(const QRect& place, const QList<QRect>& screens);

// Where dialogs start and files go that belong beside the program: the program's folder when it
// can be written, else the user's documents folder (an installed program).
QString defaultFolder(const QString& programDir);

} // namespace registry_settings

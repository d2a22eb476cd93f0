#include "build_info.h"

#include <QStringList>

QString buildDate() {
    // __DATE__ pads one-digit days with a blank ("Dec  7 2026"); the release line shows
    // month, day and year separated by single blanks.
    const QStringList parts =
        QString::fromLatin1(__DATE__).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char(' '));
}

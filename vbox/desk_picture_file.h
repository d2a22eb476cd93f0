// Pictures of a custom desk's Image sections, read in the format their file extension names:
// Windows bitmap, JPEG or icon. Metafiles cannot be drawn on this platform.
#pragma once

#include <QImage>
#include <QString>

// A null image and the reason in `problem` when the file is missing, unreadable, of another
// format or larger than a skin may be (see skin_bitmap.h).
QImage readDeskPicture(const QString& path, QString* problem);

// JPEG through libjpeg, with the same size limit.
QImage readJpeg(const QString& path, QString* problem);

#include "gallery.h"

#include "desk_picture.h"
#include "screenshots.h"
#include "widget_gallery.h"

void writeGallery(ScreenshotWriter& writer, const TForm1::Options& options) {
    // Pictures that need no window first: they are encoded while the editor window is built.
    writer.save(QStringLiteral("widgets"), renderWidgetGallery());
    writer.save(QStringLiteral("vbox"), virtualBoxPicture());
    for (const auto& [name, picture] : exampleDeskPictures())
        writer.save(name, picture);

    TForm1 editor(options);
    writer.saveWindow(QStringLiteral("editor"), editor);
}

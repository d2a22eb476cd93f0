// vpultron64: the editor and emulator window.
#include "build_info.h"
#include "editor_window.h"
#include "gui_options.h"
#include "screenshots.h"
#include "widget_gallery.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>

namespace {

bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Renders the widget gallery and the windows to PNG files instead of showing them.
int saveScreenshots(const GuiOptions& options) {
    ScreenshotWriter writer(options.screenshotDir);
    writer.save(QStringLiteral("widgets"),
                renderWidgetGallery()); // encodes while the window is built
    TForm1 form({options.settingsFile, options.midiApi});
    writer.saveWindow(QStringLiteral("editor"), form);
    const QString error = writer.finish();
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "vpultron64: %s\n", qPrintable(error));
    return 1;
}

int runWindows(const GuiOptions& options) {
    if (!options.screenshotDir.isEmpty()) return saveScreenshots(options);
    TForm1 form({options.settingsFile, options.midiApi});
    form.show();
    form.startUpDone();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString error;
    auto options = parseGuiOptions(args, &error);
    if (!options) {
        std::fprintf(stderr, "vpultron64: %s\n\n%s", qPrintable(error), qPrintable(guiUsage()));
        return 2;
    }
    if (options->help) {
        std::fputs(qPrintable(guiUsage()), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("vpultron64 %s (built %s)\n", VPT64_VERSION, qPrintable(buildDate()));
        return 0;
    }
    if (!displayAvailable() && options->screenshotDir.isEmpty()) {
        options->screenshotDir = QStringLiteral("screenshots");
        std::fprintf(stderr,
                     "vpultron64: no display available; rendering the windows to '%s' instead.\n",
                     qPrintable(options->screenshotDir));
    }
    if (!options->screenshotDir.isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pultron"));
    QApplication::setApplicationName(QStringLiteral("vPultron64"));
    try {
        return runWindows(*options);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("vPultron64"),
                              QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

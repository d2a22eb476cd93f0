// vpultron64: the editor and emulator window.
#include "build_info.h"
#include "dialog_focus.h"
#include "editor_window.h"
#include "gallery.h"
#include "gui_options.h"
#include "screenshots.h"

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

TForm1::Options editorOptions(const GuiOptions& options) {
    return {options.settingsFile, options.midiApi, options.startupBankFile, std::nullopt};
}

// Renders the windows a user sees at start (--screenshot), or every picture meant for checking by
// eye (--gallery), to PNG files instead of showing them.
int savePictures(const GuiOptions& options) {
    const TForm1::Options formOptions = editorOptions(options);
    const bool gallery = !options.galleryDir.isEmpty();
    ScreenshotWriter writer(gallery ? options.galleryDir : options.screenshotDir);
    if (gallery) {
        writeGallery(writer, formOptions);
    } else {
        TForm1 form(formOptions);
        writer.saveWindow(QStringLiteral("editor"), form);
        form.close(); // as a user would, which keeps the transfer settings for the next run
    }
    const QString error = writer.finish();
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "vpultron64: %s\n", qPrintable(error));
    return 1;
}

int runWindows(const GuiOptions& options) {
    if (options.rendersPictures()) return savePictures(options);
    TForm1 form(editorOptions(options));
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
    if (!displayAvailable() && !options->rendersPictures()) {
        options->screenshotDir = QStringLiteral("screenshots");
        std::fprintf(stderr,
                     "vpultron64: no display available; rendering the windows to '%s' instead.\n",
                     qPrintable(options->screenshotDir));
    }
    if (options->rendersPictures()) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pultron"));
    QApplication::setApplicationName(QStringLiteral("vPultron64"));
    dialog_focus::install(app);
    try {
        return runWindows(*options);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("vPultron64"),
                              QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

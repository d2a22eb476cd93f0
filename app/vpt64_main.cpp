// vpt64: the command-line companion of vpultron64.
#include "cli_commands.h"

#include <QGuiApplication>
#include <memory>

int main(int argc, char** argv) {
    // Drawing the bank sheet needs fonts, which come with a GUI application; it never needs a
    // display, so it draws off screen.
    const bool draws = argc > 1 && qstrcmp(argv[1], "sheet") == 0;
    if (draws) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        draws ? std::make_unique<QGuiApplication>(argc, argv)
              : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return runCli(args);
}

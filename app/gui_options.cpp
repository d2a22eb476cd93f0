#include "gui_options.h"

#include "dump_file.h"

#include <utility>

std::optional<GuiOptions> parseGuiOptions(const QStringList& args, QString* error) {
    GuiOptions options;
    auto valueOf = [&](int& i, const QString& name) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(name);
            return std::nullopt;
        }
        return args[++i];
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--version")) {
            options.version = true;
        } else if (arg == QLatin1String("--screenshot") || arg == QLatin1String("--gallery")) {
            const auto dir = valueOf(i, arg);
            if (!dir) return std::nullopt;
            (arg == QLatin1String("--gallery") ? options.galleryDir : options.screenshotDir) = *dir;
        } else if (arg == QLatin1String("--midi-api")) {
            const auto api = valueOf(i, arg);
            if (!api) return std::nullopt;
            if (!QStringList{"alsa", "jack", "sim", "all"}.contains(*api)) {
                *error = QStringLiteral("unknown MIDI API '%1' (alsa, jack, sim or all)").arg(*api);
                return std::nullopt;
            }
            options.midiApi = *api;
        } else if (arg.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown option '%1'").arg(arg);
            return std::nullopt;
        } else if (options.settingsFile.isEmpty()) { // the one file, before or after the options
            options.settingsFile = arg;
        } else {
            *error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return std::nullopt;
        }
    }
    if (isSysexDumpFile(options.settingsFile))
        options.startupBankFile = std::exchange(options.settingsFile, QString());
    return options;
}

QString guiUsage() {
    return QStringLiteral(
        "Usage: vpultron64 [SETTINGS_FILE | DUMP.syx] [options]\n"
        "Editor and emulator for the Pultron64 MIDI controller.\n"
        "\n"
        "  SETTINGS_FILE        settings and presets file (default: vpt64presets.ini\n"
        "                       beside the program)\n"
        "  DUMP.syx             a SysEx dump to start with instead of the settings' bank\n"
        "  --midi-api API       MIDI ports to offer: alsa, jack, sim or all (default all)\n"
        "  --screenshot DIR     render the windows shown at start to DIR as PNG files\n"
        "                       and exit\n"
        "  --gallery DIR        render every picture meant for checking by eye (widget\n"
        "                       gallery, windows) to DIR as PNG files and exit\n"
        "  --help               show this text and exit\n"
        "  --version            show the version and exit\n");
}

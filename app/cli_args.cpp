#include "cli_args.h"

std::optional<CliArgs> CliArgs::parse(const QStringList& args, const QStringList& known,
                                      QString* error) {
    CliArgs parsed;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            parsed.positional << arg;
            continue;
        }
        if (!known.contains(arg)) {
            *error = QStringLiteral("unknown option '%1'").arg(arg);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(arg);
            return std::nullopt;
        }
        parsed.options.insert(arg, args[++i]);
    }
    return parsed;
}

std::optional<int> CliArgs::number(const QString& name, int fallback, int min, int max,
                                   QString* error) const {
    if (!has(name)) return fallback;
    bool ok = false;
    const int value = options.value(name).toInt(&ok);
    if (ok && value >= min && value <= max) return value;
    *error = QStringLiteral("%1 must be a number from %2 to %3").arg(name).arg(min).arg(max);
    return std::nullopt;
}

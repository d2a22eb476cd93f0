// CliArgs: the positional arguments and "--name value" options of one vpt64 subcommand.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

struct CliArgs {
    QStringList positional;
    QHash<QString, QString> options;

    // Every option in `known` takes a value; any other argument starting with "-" is an error.
    static std::optional<CliArgs> parse(const QStringList& args, const QStringList& known,
                                        QString* error);

    bool has(const QString& name) const { return options.contains(name); }
    QString value(const QString& name) const { return options.value(name); }
    // The option's value as a number in min..max, `fallback` when the option is absent.
    std::optional<int> number(const QString& name, int fallback, int min, int max,
                              QString* error) const;
};

#include "help_page.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

HelpPage::HelpPage(QWidget* parent) : DeferredPage(parent) {
    setObjectName(QStringLiteral("HelpTabSheet"));
}

void HelpPage::build() {
    HelpMemo = new QPlainTextEdit(helpText());
    HelpMemo->setObjectName(QStringLiteral("HelpMemo"));
    HelpMemo->setAccessibleName(tr("About and hints"));
    HelpMemo->setReadOnly(true);
    HelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HelpMemo);
}

QString HelpPage::helpText() {
    return QStringLiteral(
        "About:\n"
        "vPultron64 Editor and Emulator\n"
        "\n"
        "This program is free software: you can redistribute it and/or modify it under the\n"
        "terms of the GNU General Public License, version 3 or (at your option) any later\n"
        "version. It comes without any warranty.\n"
        "\n"
        "Credits: the MIDI ports are reached through RtMidi and JACK; the knob, the dot-matrix\n"
        "LCD, the DIP switch and the skinned controls are this program's own components,\n"
        "modelled on the classic MIDI I/O, knob and LCD label components of the desktop\n"
        "MIDI tools that came before it.\n"
        "\n"
        "Hints:\n"
        "\n"
        "In SysEx page:\n"
        "Edit customdesk.vpt to create you own faderdesk configuration !!!!\n"
        "  - settings will be saved in regristry when exiting the editor\n"
        "  - click on the message window to delete the logs\n"
        "  - configuration can be saved in a .syx and in a dump_kit compatible .ini file\n"
        "\n"
        "In Virtual FaderDesk:\n"
        "  - Right-Click on Pots To Edit Faders\n"
        "  - click on LCD to switch display modes\n"
        "\n"
        "In Editor:\n"
        "  - use PAGE UP/PAGE DOWN keys to increase / decrease pot or button number\n"
        "  - use CTRL-C   and CTRL-V   to copy and paste pot or button properties\n");
}

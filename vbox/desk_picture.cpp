#include "desk_picture.h"

#include "built_in_dump.h"
#include "built_in_skins.h"
#include "custom_desk.h"
#include "desk_host.h"
#include "fader_desk.h"
#include "knob.h"
#include "lcd_label.h"
#include "program_folders.h"
#include "virtual_box.h"
#include "vr_bitmap_list.h"

#include <QDir>
#include <QPainter>

QImage virtualBoxPicture() {
    BankRecord bank = loadBuiltInBank();
    SilentDeskHost host;
    VirtualBox box(bank, host);
    box.GenerateFaderDeskExecute();
    for (int n = 1; n <= 16; ++n)
        if (TKnob* knob = box.registry().as<TKnob>(n)) knob->SetPosition(n * 8);
    box.ButtonPressed(4);
    if (TKnob* knob = box.registry().as<TKnob>(3)) knob->SetPosition(64);
    const QImage desk = box.FaderDesk().grab().toImage();

    box.BackLightLCDPanelClick();
    const QImage bars = box.FaderDesk().BackLightLCDPanel->grab().toImage();
    constexpr int kMargin = 8;
    QImage picture(desk.width(), desk.height() + bars.height() + 2 * kMargin, desk.format());
    picture.fill(box.FaderDesk().palette().color(QPalette::Button));
    QPainter painter(&picture);
    painter.drawImage(0, 0, desk);
    painter.drawImage((desk.width() - bars.width()) / 2, desk.height() + kMargin, bars);
    box.FaderDesk().hide();
    return picture;
}

QList<QPair<QString, QImage>> exampleDeskPictures(const QString& folder) {
    QList<QPair<QString, QImage>> pictures;
    TVrBitmapList knobSkins;
    knobSkins.Add(builtInKnobSkin());
    TVrBitmapList buttonSkins;
    CustomDeskBuilder builder;
    ControlRegistry registry;
    const QDir desks(folder);
    for (const QFileInfo& file :
         desks.entryInfoList({QStringLiteral("*.vpt")}, QDir::Files, QDir::Name)) {
        QString problem;
        const auto description = desk_file::readDeskFile(file.filePath(), &problem);
        if (!description) continue;
        const auto window = builder.build(*description, registry, {&knobSkins, &buttonSkins},
                                          QSize(desk_file::kMaxExtent, desk_file::kMaxExtent));
        pictures.append(
            {QStringLiteral("desk_") + file.completeBaseName(), window->grab().toImage()});
    }
    return pictures;
}

QList<QPair<QString, QImage>> exampleDeskPictures() {
    return exampleDeskPictures(
        QDir(ProgramFolders::current().shipped).filePath(QStringLiteral("customfiles")));
}

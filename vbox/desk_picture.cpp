#include "desk_picture.h"

#include "built_in_dump.h"
#include "built_in_skins.h"
#include "custom_desk.h"
#include "desk_host.h"
#include "desk_label.h"
#include "dip_switch.h"
#include "fader_desk.h"
#include "knob.h"
#include "lcd_label.h"
#include "lcd_messages.h"
#include "program_folders.h"
#include "virtual_box.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QDir>
#include <QLabel>
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

namespace {

// A desk as a user meets it after a few moves: the start-up screen on its LCD, the pot
// controls turned (their value labels following), a latching pad down and DIP switches set.
void showInUse(TCustomDesk& desk, const ControlRegistry& registry) {
    if (desk.lastLcd) {
        std::string text;
        for (const std::string& line : lcd_text::startupScreen(true))
            text += line;
        desk.lastLcd->setCaption(QString::fromStdString(text));
    }
    for (int tag = 1; tag <= 8; ++tag) {
        const int value = std::min(127, tag * 16 - 1);
        if (auto* knob = registry.as<TKnob>(tag)) knob->SetPosition(value); // writes its label
        auto* dial = registry.as<TVrBitmapDial>(tag);
        auto* label = registry.as<QLabel>(tag + desk_tags::kValueLabelOffset);
        if (!dial) continue;
        dial->SetPosition(value);
        if (label) setLabelText(label, QString::number(value));
    }
    for (auto* pad : desk.findChildren<TVrAniButton*>())
        if (pad->SwitchStyle()) {
            pad->SetDown(true);
            break;
        }
    for (auto* dip : desk.findChildren<TDipSwitch*>())
        dip->SetValue(0b0101);
}

} // namespace

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
        showInUse(*window, registry);
        pictures.append(
            {QStringLiteral("desk_") + file.completeBaseName(), window->grab().toImage()});
    }
    return pictures;
}

QList<QPair<QString, QImage>> exampleDeskPictures() {
    return exampleDeskPictures(
        QDir(ProgramFolders::current().shipped).filePath(QStringLiteral("customfiles")));
}

// libFuzzer target: any bytes as a custom desk file, read and built into a window offscreen and
// painted once. Skin and picture names in the input may name the few files placed beside it.
#include "control_registry.h"
#include "custom_desk.h"
#include "desk_description.h"
#include "vr_bitmap_list.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

// A folder with the desk file and a few real pictures for its FileName keys to find.
const QTemporaryDir& deskFolder() {
    static const QTemporaryDir folder = [] {
        QTemporaryDir made;
        QImage strip(320, 32, QImage::Format_RGB888);
        strip.fill(Qt::magenta);
        strip.save(made.filePath("skin.bmp"), "BMP");
        strip.save(made.filePath("picture.jpg"), "JPG");
        strip.copy(0, 0, 32, 32).save(made.filePath("picture.ico"), "ICO");
        return made;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "desk_file_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;

    const QString path = deskFolder().filePath("desk.vpt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    QString problem;
    const auto desk = desk_file::readDeskFile(path, &problem);
    if (!desk) return 0;
    TVrBitmapList knobSkins;
    knobSkins.Add(QImage(64, 16, QImage::Format_RGB32));
    TVrBitmapList buttonSkins;
    ControlRegistry registry;
    CustomDeskBuilder builder;
    const auto window =
        builder.build(*desk, registry, {&knobSkins, &buttonSkins}, QSize(1920, 1080));
    window->grab();
    return 0;
}

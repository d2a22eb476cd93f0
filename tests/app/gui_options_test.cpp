#include "file_bytes.h"
#include "gui_options.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(GuiOptions, AFirstArgumentThatIsADumpIsTheStartUpBankOtherwiseTheSettingsFile) {
    QTemporaryDir dir;
    const QString dump = dir.filePath("bank.syx");
    const QString settings = dir.filePath("desk.vpt");
    ASSERT_TRUE(writeFileBytes(dump, QByteArray::fromHex("f000007e43")));
    ASSERT_TRUE(writeFileBytes(settings, "[CUSTOMDESK]\nFILENAME=self\n"));
    const struct {
        QStringList args;
        QString settingsFile;
        QString startupBankFile;
    } cases[] = {
        {{dump, "--midi-api", "sim"}, "", dump},
        {{settings}, settings, ""},
        {{"--midi-api", "sim", dump}, "", dump}, // the file may also follow the options
        {{dir.filePath("new.ini")}, dir.filePath("new.ini"), ""}, // created on the first store
        {{"--gallery", dir.path()}, "", ""},
    };
    for (const auto& c : cases) {
        QString error;
        const auto options = parseGuiOptions(c.args, &error);
        ASSERT_TRUE(options) << error.toStdString();
        EXPECT_EQ(options->settingsFile, c.settingsFile) << c.args.join(' ').toStdString();
        EXPECT_EQ(options->startupBankFile, c.startupBankFile) << c.args.join(' ').toStdString();
    }
    QString error;
    EXPECT_FALSE(parseGuiOptions({settings, dump}, &error));
    EXPECT_EQ(error, QStringLiteral("unexpected argument '%1'").arg(dump));
}

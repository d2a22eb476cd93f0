// The transfer settings across two real runs of vpultron64 with a HOME of the test's own.
#include "jack_server.h"
#include "sim_process.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSimulator = QStringLiteral("vPultron64 Simulator");

class JackSettingsRuns : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(server.start()) << server.error().toStdString();
    }

    // Starts the program, which renders its window, closes it as a user would and ends.
    void runProgram() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("HOME"), home.path());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VPT64_GUI), {"--screenshot", home.filePath("shots")});
        ASSERT_TRUE(program.waitForFinished(60000));
        ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    }
    QString conf() const { return home.filePath(".config/Pultron/vPultron64.conf"); }

    QTemporaryDir home;
    JackServer server;
    SimProcess sim;
};

} // namespace

TEST_F(JackSettingsRuns, PortsChosenByNameComeBackAfterAnotherPortWasAdded) {
    const auto kept = [this] {
        QSettings settings(conf(), QSettings::IniFormat);
        QStringList values;
        for (const char* name :
             {"MIDI_IN_PORT", "MIDI_OUT_PORT", "MIDI_IN_PORT_NAME", "MIDI_OUT_PORT_NAME"})
            values << settings.value(name).toString();
        return values;
    };
    // What a run before kept: the simulator, which is all the lists hold now, by index alone.
    QSettings(conf(), QSettings::IniFormat).setValue("MIDI_OUT_PORT", "1");
    QSettings(conf(), QSettings::IniFormat).setValue("MIDI_IN_PORT", "1");
    runProgram();
    EXPECT_EQ(kept(), QStringList({"1", "1", kSimulator, kSimulator}));

    // A JACK peer's ports now come before the simulator in both lists.
    ASSERT_TRUE(sim.start({})) << sim.error().toStdString();
    runProgram();
    EXPECT_EQ(kept(), QStringList({"2", "2", kSimulator, kSimulator}));
}

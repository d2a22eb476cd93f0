// Runs GoogleTest inside a QCoreApplication, so queued hand-overs and timers work.
#include "own_jack_server_name.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    useOwnJackServerName();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Tests meet JACK only on servers of their own (JackServer). Until a test starts one, the JACK
// clients of a test program and of the programs it starts look for a server of a name that no
// server has, never for the one a musician's machine may run under the default name.
#pragma once

#include <QByteArray>
#include <QCoreApplication>

inline void useOwnJackServerName() {
    qputenv("JACK_DEFAULT_SERVER",
            "vpt64-test-none-" + QByteArray::number(QCoreApplication::applicationPid()));
}

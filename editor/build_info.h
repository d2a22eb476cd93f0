// The date this program was built, as "Sep 19 2004".
#pragma once

#include <QString>

QString buildDate();

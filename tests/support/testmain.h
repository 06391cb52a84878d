#pragma once
// Every test runs inside the real application object, so exceptions and notifications take the
// program's own paths, and loads the build's modules, the files that ship.

#include "app/application.h"
#include "platform/modules.h"

#include <QTest>

#define MIVO_TEST_MAIN(TestClass)                                                                   \
    int main(int argc, char **argv)                                                                 \
    {                                                                                               \
        Application app(argc, argv);                                                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                    \
        platform::setModuleFolder(QStringLiteral(MIVO_BINARY_DIR "/bin/modules"));                  \
        TestClass tc;                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                  \
        return QTest::qExec(&tc, argc, argv);                                                       \
    }

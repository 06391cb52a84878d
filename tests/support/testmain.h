#pragma once
// Every test runs inside the real application object, so exceptions and notifications take the
// program's own paths.

#include "app/application.h"

#include <QTest>

#define MIVO_TEST_MAIN(TestClass)                                                                   \
    int main(int argc, char **argv)                                                                 \
    {                                                                                               \
        Application app(argc, argv);                                                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                    \
        TestClass tc;                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                  \
        return QTest::qExec(&tc, argc, argv);                                                       \
    }

// Several Qt Test classes in one program: each file registers its class with
// KVT_QTEST(Class) (KVT_QTEST_GUILESS for one that needs no windows), and
// the program runs the class named by its first argument, so that ctest
// still runs and names each file's class on its own.
#pragma once

#include <QObject>

namespace kvt::test {

using QtTestFactory = QObject* (*)();

// Adds a class to the program's list; returns a value to keep in a static.
bool RegisterQtTest(const char* name, QtTestFactory make, bool guiless);

}  // namespace kvt::test

#define KVT_QTEST_REGISTER(Class, guiless)                                                 \
    static const bool kvt_qtest_registered_##Class = ::kvt::test::RegisterQtTest(          \
        #Class, []() -> QObject* { return new Class; }, guiless);

#define KVT_QTEST(Class) KVT_QTEST_REGISTER(Class, false)
#define KVT_QTEST_GUILESS(Class) KVT_QTEST_REGISTER(Class, true)

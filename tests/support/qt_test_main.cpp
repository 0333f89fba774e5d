// The main of a program of several Qt Test classes: PROGRAM CLASS [QTest
// options...] runs that class as QTEST_MAIN (or QTEST_GUILESS_MAIN) would.
#include "support/qt_test_main.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include <QApplication>
#include <QTest>

namespace kvt::test {
namespace {

struct Entry {
    QtTestFactory make;
    bool guiless;
};

std::map<std::string, Entry>& Registry() {
    static std::map<std::string, Entry> registry;
    return registry;
}

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s CLASS [Qt Test options]; classes:", program);
    for (const auto& [name, entry] : Registry()) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

bool RegisterQtTest(const char* name, QtTestFactory make, bool guiless) {
    Registry()[name] = Entry{make, guiless};
    return true;
}

}  // namespace kvt::test

int main(int argc, char** argv) {
    using kvt::test::Registry;
    if (argc < 2) return kvt::test::Usage(argv[0]);
    auto found = Registry().find(argv[1]);
    if (found == Registry().end()) return kvt::test::Usage(argv[0]);
    // The class's name leaves the arguments; Qt Test sees the rest.
    for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
    argv[--argc] = nullptr;

    std::unique_ptr<QCoreApplication> app;
    if (found->second.guiless) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    }
    std::unique_ptr<QObject> test(found->second.make());
    return QTest::qExec(test.get(), argc, argv);
}

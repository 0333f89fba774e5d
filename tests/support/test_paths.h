// Where the programs under test and the test data are. ctest sets them in
// each test's environment, so that no build's own paths are compiled into
// the tests and their compilations are shared between checkouts (ccache).
#pragma once

#include <cstdio>
#include <cstdlib>

namespace kvt::test {

inline const char* PathFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) {
        std::fprintf(stderr, "%s is not set: run the tests through ctest\n", name);
        std::exit(2);
    }
    return value;
}

}  // namespace kvt::test

#define KVT_CLI_PATH (::kvt::test::PathFromEnvironment("KVT_CLI_PATH"))
#define KVT_SIM_PATH (::kvt::test::PathFromEnvironment("KVT_SIM_PATH"))
// Empty in a build without the window program.
#define KVT_APP_PATH (::kvt::test::PathFromEnvironment("KVT_APP_PATH"))
#define KVT_TEST_DATA (::kvt::test::PathFromEnvironment("KVT_TEST_DATA"))
// The translation check's tools and files.
#define KVT_LUPDATE (::kvt::test::PathFromEnvironment("KVT_LUPDATE"))
#define KVT_TS_FILE (::kvt::test::PathFromEnvironment("KVT_TS_FILE"))
#define KVT_TRANSLATED_SOURCES (::kvt::test::PathFromEnvironment("KVT_TRANSLATED_SOURCES"))

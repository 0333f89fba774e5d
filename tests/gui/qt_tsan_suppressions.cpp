// For the window tests that also run under ThreadSanitizer. Qt is not built
// with it: the test library's watchdog thread is ended through Qt's own wait,
// which ThreadSanitizer cannot see, and it reports the destruction of the
// watchdog and its wait condition as races. Linked into the program of those
// tests.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Test.so\n"
           "race:QWaitCondition::~QWaitCondition\n";
}

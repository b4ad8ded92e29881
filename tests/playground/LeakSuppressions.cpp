// Leak-check suppressions for this test program in sanitizer builds: Pango
// and Fontconfig keep their font maps and caches until the process ends, and
// free nothing of them at exit. Our own leaks still fail the run. (Read by
// LeakSanitizer at start-up; an unused function in other builds.)

extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libpango\n";
}

// Leak-check suppressions for this test program in sanitizer builds: the
// painter finds fonts through Fontconfig, which keeps its configuration and
// caches until the process ends without freeing them at exit. Our own leaks,
// Pango objects included, still fail the run. (LeakSanitizer reads this at
// start-up; other builds never call it.)

extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

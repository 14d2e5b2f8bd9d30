// The sanitizers' run-time defaults, built into every program of a sanitizer
// build (cmake/KorthalSanitizers.cmake). Variables such as ASAN_OPTIONS still
// override them.

#define KORTHAL_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))

KORTHAL_SANITIZER_HOOK const char* __asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1:strict_string_checks=1";
}

KORTHAL_SANITIZER_HOOK const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Memory that system libraries keep until the process ends, on purpose or by
// their own faults; never ours.
KORTHAL_SANITIZER_HOOK const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

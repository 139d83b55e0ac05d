// AddressSanitizer's defaults for a test program that meets libraries without frame pointers: every allocation is
// traced with the slow unwinder, so the leak suppressions can name the library that lost the memory.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

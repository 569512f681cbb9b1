// Address-sanitizer builds of the tests: the leak check runs when the test
// program's own static objects go, before the shared libraries' finalizers.
//
// Why: LeakSanitizer's own check runs after them. The engine's tests load
// the media libraries, which pull in libgnutls; libgnutls's finalizer
// touches its thread-local state on the main thread for the first time, so
// glibc gives that thread a new dynamic TLS block inside _dl_fini, and the
// sanitizer's __tls_get_addr hook records impossible bounds for it (begin
// 0xc28, about 64 GiB long). The check's tracer then reads there and dies
// with "Tracer caught signal 11". Nothing of ours runs at that point (no
// thread of ours is alive and no library is closed), so checking before the
// finalizers keeps the whole check, thread-local roots included, without
// switching anything off.
#include <sanitizer/lsan_interface.h>

namespace {

struct TEarlyLeakCheck {
    // Made before main, so destroyed after every static object constructed
    // later; a second check at exit does nothing.
    ~TEarlyLeakCheck() { __lsan_do_leak_check(); }
} earlyLeakCheck;

}  // namespace

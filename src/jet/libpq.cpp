// SPDX-License-Identifier: MIT
#include "libpq.h"

#include <dlfcn.h>

#include <string>

#include "error.h"

namespace jet::detail {

namespace {

// The soname the engine was built against; Debian's package libpq5.
constexpr const char* kLibrary = "libpq.so.5";

Libpq load() {
    // Local: the library's symbols stay out of the program's own lookups.
    void* handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        throw Error(std::string("the PostgreSQL client library cannot be loaded (") +
                        (why ? why : kLibrary) + "); install the package libpq5",
                    static_cast<int>(ErrorCode::kCannotOpen), ErrorKind::kCannotOpen);
    }
    Libpq pq;
    const char* missing = nullptr;
#define RV_LIBPQ_RESOLVE(name)                                             \
    pq.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
    if (pq.name == nullptr && missing == nullptr) {                        \
        missing = #name;                                                   \
    }
    RV_LIBPQ_FUNCTIONS(RV_LIBPQ_RESOLVE)
#undef RV_LIBPQ_RESOLVE
    if (missing != nullptr) {
        ::dlclose(handle);
        throw Error(std::string("the PostgreSQL client library ") + kLibrary + " lacks " + missing,
                    static_cast<int>(ErrorCode::kCannotOpen), ErrorKind::kCannotOpen);
    }
    // Never closed: results and connections may outlive any caller.
    return pq;
}

}  // namespace

const Libpq& libpq() {
    static const Libpq pq = load();  // a failed load throws, and the next call tries again
    return pq;
}

}  // namespace jet::detail

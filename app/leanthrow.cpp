// The standard library's own throws, made without its older string implementation: its
// versions build std::logic_error and friends, which keep their message in that
// implementation and bring some 40 KiB into the exe. Each is a fault that ends the handler
// it happens in, like any other error; the message says what it was.
#include <new>

#include "base/error.h"

// Each is declared noreturn by the library itself.
namespace std {

void __throw_bad_alloc() {
    throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
    throw std::bad_alloc();
}
void __throw_length_error(const char* what) {
    throw bj::Error(what);
}
void __throw_logic_error(const char* what) {
    throw bj::Error(what);
}
void __throw_out_of_range(const char* what) {
    throw bj::Error(what);
}
void __throw_out_of_range_fmt(const char* what, ...) {
    throw bj::Error(what);
}
void __throw_invalid_argument(const char* what) {
    throw bj::Error(what);
}

}  // namespace std

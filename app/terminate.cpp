// std::terminate's default handler names the exception on stderr, which a windowed program
// does not have; this one ends the same way without it, and keeps the name demangler (tens
// of KiB) out of the exe. std::terminate is reached only past fw::Guarded, if ever.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

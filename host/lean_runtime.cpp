// The saver catches no C++ exception: where the runtime would throw one
// (memory run out, a container past its size) the process ends, as an
// uncaught one would end it. Defined here, the runtime's own throwing
// helpers and its terminate handler stay out of the program, and with them
// the exception texts, the name demangler and a printf: a third of its size.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
} // namespace __gnu_cxx

namespace std {
[[noreturn]] void __throw_bad_cast() { abort(); }
[[noreturn]] void __throw_bad_alloc() { abort(); }
[[noreturn]] void __throw_bad_typeid() { abort(); }
[[noreturn]] void __throw_bad_exception() { abort(); }
[[noreturn]] void __throw_bad_array_new_length() { abort(); }
[[noreturn]] void __throw_logic_error(const char *) { abort(); }
[[noreturn]] void __throw_range_error(const char *) { abort(); }
[[noreturn]] void __throw_domain_error(const char *) { abort(); }
[[noreturn]] void __throw_length_error(const char *) { abort(); }
[[noreturn]] void __throw_out_of_range(const char *) { abort(); }
[[noreturn]] void __throw_runtime_error(const char *) { abort(); }
[[noreturn]] void __throw_overflow_error(const char *) { abort(); }
[[noreturn]] void __throw_underflow_error(const char *) { abort(); }
[[noreturn]] void __throw_invalid_argument(const char *) { abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char *, ...) { abort(); }
} // namespace std

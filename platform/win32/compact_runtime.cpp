// Keeps the shipped file small. The C++ library's own versions of these
// routines would bring in its exception types with their message strings, a
// second copy of the string code and a name demangler: over half the file.
//
// Every error the library reports becomes std::bad_alloc, the one exception
// the program handles: the only way its code meets one is a buffer that
// cannot be had (a size beyond what memory or the string type allows).
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_alloc(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char*) { throw bad_alloc(); }
void __throw_out_of_range(const char*) { throw bad_alloc(); }
void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }
void __throw_invalid_argument(const char*) { throw bad_alloc(); }
void __throw_bad_function_call() { throw bad_alloc(); }

}  // namespace std

// An exception that escapes ends the process either way.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

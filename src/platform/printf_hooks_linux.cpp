// glibc's printf extension hooks, refused for every library in the process.
//
// libquadmath, which the reference LAPACK brings in through libgfortran under OpenCV's
// core, registers a 'Q' modifier and its own conversions from a load-time constructor.
// Once any hook is registered, glibc formats every printf-family call, in every library,
// on its slow positional path: snprintf takes about 1.8 times as long, and Tesseract
// formats many strings while it loads its language data (about 17 ms of its start on a
// small photo). Nothing here prints __float128 values, so the executable defines these
// three functions (the build exports them, and the dynamic linker finds the executable's
// definition before libc's) and refuses each registration as glibc does on failure.
#include <printf.h>

#include <cerrno>

extern "C" {

int register_printf_specifier(int, printf_function*, printf_arginfo_size_function*) noexcept {
  errno = ENOSYS;
  return -1;
}

int register_printf_modifier(const wchar_t*) noexcept {
  errno = ENOSYS;
  return -1;
}

int register_printf_type(printf_va_arg_function*) noexcept {
  errno = ENOSYS;
  return -1;
}

}  // extern "C"

// The executable refuses glibc's printf hooks, so that a library loaded with it (here
// libquadmath, which OpenCV's core brings in) cannot put every printf-family call in the
// process on glibc's slow path.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quillfen {
namespace {

TEST(PrintfHooks, LibquadmathLoadedBesideTheToolCannotRegisterItsConversions) {
#ifdef QUILLFEN_SANITIZED
  GTEST_SKIP() << "AddressSanitizer's printf interceptor reports the %Q conversion";
#endif
  void* quadmath = dlopen("libquadmath.so.0", RTLD_NOW);
  if (quadmath == nullptr) GTEST_SKIP() << "no libquadmath here";
  // With its hooks registered, glibc formats "%Qf" as a __float128 ("2.500000"); refused,
  // it does not know the modifier and writes the conversion as it stands.
  __extension__ typedef __float128 Quad;
  const Quad value = 2.5;
  const std::string format = "%Qf|%d|%s";
  char text[64] = {};
  std::snprintf(text, sizeof text, format.c_str(), value, 7, "x");
  EXPECT_EQ(std::string(text).find("2.500000"), std::string::npos) << text;
  std::snprintf(text, sizeof text, "%5.2f|%d|%s", 2.5, 7, "x");
  EXPECT_STREQ(text, " 2.50|7|x");
}

}  // namespace
}  // namespace quillfen

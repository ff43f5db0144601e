#pragma once
// Included first into the core's sources by the web build: emscripten 3.1.6's libc++ has <bit>
// without std::bit_cast, which clang itself provides as a builtin.
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif

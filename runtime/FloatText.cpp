#include "runtime/FloatText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace stringart {
namespace {

// A positive decimal: digits d1 d2 ... dp meaning d1.d2...dp x 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

std::string ScientificText(const Decimal& d) {
  return d.digits + "e" + std::to_string(d.exponent - static_cast<int>(d.digits.size()) + 1);
}

bool ReadsBackAs(const Decimal& d, float value) {
  return std::strtof(ScientificText(d).c_str(), nullptr) == value;
}

// The p-digit decimal nearest to `value`, as printf rounds it.
Decimal NearestDecimal(float value, int p) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*e", p - 1, static_cast<double>(value));
  Decimal d;
  const char* c = text;
  for (; *c != 'e'; ++c) {
    if (*c >= '0' && *c <= '9') d.digits += *c;
  }
  d.exponent = std::atoi(c + 1);
  return d;
}

// The p-digit decimal one unit in the last place above (`by` = 1) or below (-1) `d`.
Decimal Neighbour(const Decimal& d, int by) {
  const int p = static_cast<int>(d.digits.size());
  long long low = 1;
  for (int i = 1; i < p; ++i) low *= 10;
  const long long n = std::stoll(d.digits) + by;
  if (n == low * 10) return {std::to_string(low), d.exponent + 1};
  if (n < low) return {std::string(p, '9'), d.exponent - 1};
  return {std::to_string(n), d.exponent};
}

// The fewest digits that read back as `value` (> 0, finite); of two such, the nearer.
Decimal ShortestDecimal(float value) {
  for (int p = 1;; ++p) {
    const Decimal nearest = NearestDecimal(value, p);
    if (ReadsBackAs(nearest, value)) return nearest;
    // Beside a power of two the float's rounding interval is lopsided: the nearest p-digit
    // decimal can fall outside it on the short side while the one on the long side is inside.
    const bool below = std::strtod(ScientificText(nearest).c_str(), nullptr) < value;
    const Decimal other = Neighbour(nearest, below ? 1 : -1);
    if (ReadsBackAs(other, value)) return other;
  }
}

// `value` (> 0, finite), whose shortest digits are `d`, fixed or scientific (printf's %e exponent
// of at least two digits), whichever is shorter; fixed on a tie.
std::string Layout(float value, Decimal d) {
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  const int p = static_cast<int>(d.digits.size()), e = d.exponent;
  std::string scientific = d.digits.substr(0, 1);
  if (p > 1) (scientific += '.') += d.digits.substr(1);
  const int magnitude = e < 0 ? -e : e;
  scientific += e < 0 ? "e-" : "e+";
  if (magnitude < 10) scientific += '0';
  scientific += std::to_string(magnitude);

  std::string fixed;
  if (e < 0) {
    fixed = "0." + std::string(-e - 1, '0') + d.digits;
  } else if (p <= e + 1) {
    // A whole number: libstdc++ writes all its digits rather than the shortest ones and zeros.
    char whole[48];
    std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(value));
    fixed = whole;
  } else {
    fixed = d.digits.substr(0, e + 1) + "." + d.digits.substr(e + 1);
  }
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsNanChar(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Whether [at, last) starts with `word` (lower case), in any letter case.
bool StartsWithNoCase(const char* at, const char* last, std::string_view word) {
  if (last - at < static_cast<std::ptrdiff_t>(word.size())) return false;
  for (const char w : word) {
    const char c = *at++;
    if (c != w && c != w - 'a' + 'A') return false;
  }
  return true;
}

}  // namespace

std::string ShortestFloatText(float value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isinf(value)) return sign + "inf";
  if (value == 0.0f) return sign + "0";
  const float magnitude = std::fabs(value);
  return sign + Layout(magnitude, ShortestDecimal(magnitude));
}

std::from_chars_result ReadFloatText(const char* first, const char* last, float& value) {
  const char* at = first;
  const bool negative = at != last && *at == '-';
  if (negative) ++at;
  const float sign = negative ? -1.0f : 1.0f;

  if (StartsWithNoCase(at, last, "inf")) {
    at += StartsWithNoCase(at, last, "infinity") ? 8 : 3;
    value = sign * std::numeric_limits<float>::infinity();
    return {at, std::errc()};
  }
  if (StartsWithNoCase(at, last, "nan")) {
    at += 3;
    if (at != last && *at == '(') {
      const char* close = at + 1;
      while (close != last && IsNanChar(*close)) ++close;
      if (close != last && *close == ')') at = close + 1;
    }
    value = std::copysign(std::numeric_limits<float>::quiet_NaN(), sign);
    return {at, std::errc()};
  }

  std::size_t digits = 0;
  bool nonZero = false;
  auto takeDigits = [&] {
    for (; at != last && IsDigit(*at); ++at, ++digits) nonZero = nonZero || *at != '0';
  };
  takeDigits();
  if (at != last && *at == '.') {
    ++at;
    takeDigits();
  }
  if (digits == 0) return {first, std::errc::invalid_argument};
  if (at != last && (*at == 'e' || *at == 'E')) {
    const char* exponent = at + 1;
    if (exponent != last && (*exponent == '+' || *exponent == '-')) ++exponent;
    if (exponent != last && IsDigit(*exponent)) {
      while (exponent != last && IsDigit(*exponent)) ++exponent;
      at = exponent;
    }
  }
  const float read = std::strtof(std::string(first, at).c_str(), nullptr);
  if (std::isinf(read) || (read == 0.0f && nonZero)) return {at, std::errc::result_out_of_range};
  value = read;
  return {at, std::errc()};
}

std::string FloatToText(float value) {
#if defined(__cpp_lib_to_chars)
  char buf[32];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
#else
  return ShortestFloatText(value);  // emscripten's libc++
#endif
}

std::from_chars_result TextToFloat(const char* first, const char* last, float& value) {
#if defined(__cpp_lib_to_chars)
  return std::from_chars(first, last, value);
#else
  return ReadFloatText(first, last, value);
#endif
}

}  // namespace stringart

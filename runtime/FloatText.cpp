#include "runtime/FloatText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace stringart {
namespace {

// A whole number of any size, 32 bits a limb, the lowest first. The float text is worked out
// exactly with these rather than with the C library's strtof and printf, whose long-double
// arithmetic weighs 17 KB in the page's WebAssembly.
class Whole {
 public:
  explicit Whole(std::uint32_t value = 0) : limbs_{value} {}

  // *this = *this * factor + add.
  void MultiplyAdd(std::uint32_t factor, std::uint32_t add = 0) {
    std::uint64_t carry = add;
    for (std::uint32_t& limb : limbs_) {
      carry += std::uint64_t{limb} * factor;
      limb = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    if (carry) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }
  void MultiplyByPowerOf5(int n) {
    for (; n >= 13; n -= 13) MultiplyAdd(1220703125);  // 5^13, the largest below 2^32
    std::uint32_t rest = 1;
    while (n-- > 0) rest *= 5;
    MultiplyAdd(rest);
  }
  void ShiftLeft(int bits) {
    limbs_.insert(limbs_.begin(), static_cast<std::size_t>(bits / 32), 0);
    if (bits % 32) {
      limbs_.push_back(0);
      for (std::size_t i = limbs_.size() - 1; i > 0; --i)
        limbs_[i] = limbs_[i] << bits % 32 | limbs_[i - 1] >> (32 - bits % 32);
      limbs_[0] <<= bits % 32;
    }
  }
  // *this /= divisor; returns the remainder.
  std::uint32_t Divide(std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) {
      rest = rest << 32 | limbs_[i];
      limbs_[i] = static_cast<std::uint32_t>(rest / divisor);
      rest %= divisor;
    }
    return static_cast<std::uint32_t>(rest);
  }
  bool IsZero() const {
    for (const std::uint32_t limb : limbs_)
      if (limb) return false;
    return true;
  }
  // The sign of a - b.
  friend int Compare(const Whole& a, const Whole& b) {
    for (std::size_t i = std::max(a.limbs_.size(), b.limbs_.size()); i-- > 0;) {
      const std::uint32_t x = a.Limb(i), y = b.Limb(i);
      if (x != y) return x < y ? -1 : 1;
    }
    return 0;
  }

 private:
  std::uint32_t Limb(std::size_t i) const { return i < limbs_.size() ? limbs_[i] : 0; }
  std::vector<std::uint32_t> limbs_;
};

// A positive decimal: digits d1 d2 ... dp meaning d1.d2...dp x 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// A float's bits as mantissa x 2^power, the mantissa with its hidden bit.
void Split(std::uint32_t bits, std::uint32_t& mantissa, int& power) {
  const int biased = static_cast<int>(bits >> 23);
  mantissa = bits & 0x7FFFFF;
  if (biased) mantissa |= 0x800000;
  power = (biased ? biased : 1) - 150;
}

// The sign of digits x 10^scale (digits beyond those given all zero but for `more`, which
// stands for a nonzero one far below them) less (2 mantissa + 1) x 2^(power - 1): where the
// decimal lies against the point half way from the float of `bits` to the next one up.
int CompareToHalfway(const Whole& digits, bool more, int scale, std::uint32_t bits) {
  std::uint32_t mantissa;
  int power;
  Split(bits, mantissa, power);
  Whole left = digits, right(2 * mantissa + 1);
  // digits x 5^scale x 2^scale against right x 2^(power - 1).
  if (scale >= 0)
    left.MultiplyByPowerOf5(scale);
  else
    right.MultiplyByPowerOf5(-scale);
  if (scale > power - 1)
    left.ShiftLeft(scale - power + 1);
  else
    right.ShiftLeft(power - 1 - scale);
  const int sign = Compare(left, right);
  return sign == 0 && more ? 1 : sign;
}

// The significant digits a decimal is read to; any beyond are below every half way point
// between floats (each has at most 113 significant digits) and count only as being there.
constexpr std::size_t kReadDigits = 120;

// The bits of the float nearest to digits x 10^scale, ties to the even one; 0x7F800000 when it
// rounds past the largest float.
std::uint32_t NearestFloatBits(const Whole& digits, bool more, int scale) {
  // The first float whose half way point up is not below the decimal.
  std::uint32_t low = 0, high = 0x7F800000;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    if (CompareToHalfway(digits, more, scale, middle) <= 0)
      high = middle;
    else
      low = middle + 1;
  }
  if (low < 0x7F800000 && low % 2 == 1 && CompareToHalfway(digits, more, scale, low) == 0) ++low;
  return low;
}

float FromBits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// The bits of the float nearest to digits x 10^scale (> 0), worked out in double arithmetic where
// that is exact enough, a hundred times faster than in whole numbers: digits below 2^53 and a
// power of ten a double holds exactly make one correctly rounded division or multiplication.
// Rounding that double to float errs only where it lies exactly half way between two floats;
// there, where the result is zero or infinite, and where the way does not apply, false.
bool FastNearestFloatBits(std::uint64_t digits, int scale, std::uint32_t& bits) {
  constexpr int kExactPowers = 22;  // 10^22 is the largest power of ten a double holds exactly
  if (digits >= std::uint64_t{1} << 53 || scale < -kExactPowers || scale > kExactPowers)
    return false;
  double power = 1;
  for (int i = 0; i < (scale < 0 ? -scale : scale); ++i) power *= 10;
  const double d =
      scale < 0 ? static_cast<double>(digits) / power : static_cast<double>(digits) * power;
  const float f = static_cast<float>(d);
  if (f == 0 || std::isinf(f)) return false;
  if (static_cast<double>(f) != d) {
    const float other = std::nextafter(f, d > f ? std::numeric_limits<float>::infinity() : 0.0f);
    if ((static_cast<double>(f) + static_cast<double>(other)) / 2 == d) return false;
  }
  std::memcpy(&bits, &f, sizeof bits);
  return true;
}

// Whether `d` reads back as the float of `bits` (> 0): whether it lies within the float's
// rounding interval, whose ends belong to it when its mantissa is even.
bool ReadsBackAs(const Decimal& d, std::uint32_t bits) {
  const int scale = d.exponent - static_cast<int>(d.digits.size()) + 1;
  constexpr std::size_t kExactDigits = 15;  // decimal digits below 2^53 whatever they are
  if (d.digits.size() <= kExactDigits) {
    std::uint64_t small = 0;
    for (const char c : d.digits) small = small * 10 + static_cast<std::uint64_t>(c - '0');
    std::uint32_t nearest;
    if (FastNearestFloatBits(small, scale, nearest)) return nearest == bits;
  }
  Whole digits;
  for (const char c : d.digits) digits.MultiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
  const int even = bits % 2 == 0;
  return CompareToHalfway(digits, false, scale, bits) < even &&
         CompareToHalfway(digits, false, scale, bits - 1) > -even;
}

// The exact digits of `value` (> 0, finite).
Decimal ExactDecimal(float value) {
  std::uint32_t bits, mantissa;
  std::memcpy(&bits, &value, sizeof bits);
  int power;
  Split(bits, mantissa, power);
  // mantissa x 2^power = mantissa x 5^-power x 10^power when power < 0.
  Whole whole(mantissa);
  int scale = 0;
  if (power >= 0) {
    whole.ShiftLeft(power);
  } else {
    whole.MultiplyByPowerOf5(-power);
    scale = power;
  }
  Decimal d;
  while (!whole.IsZero()) d.digits += static_cast<char>('0' + whole.Divide(10));
  d.digits.assign(d.digits.rbegin(), d.digits.rend());
  d.exponent = scale + static_cast<int>(d.digits.size()) - 1;
  return d;
}

// `exact` rounded to p significant digits, half way to the even one, as printf's %.*e rounds;
// `down` tells whether it came out below.
Decimal Rounded(const Decimal& exact, std::size_t p, bool& down) {
  Decimal d{exact.digits.substr(0, p), exact.exponent};
  down = exact.digits.size() > p;
  if (!down) return d;
  const std::string_view rest = std::string_view(exact.digits).substr(p);
  const bool half = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos;
  if (rest[0] < '5' || (half && (d.digits.back() - '0') % 2 == 0)) return d;
  down = false;
  std::size_t i = p;
  while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
  if (i == 0) {
    d.digits.insert(0, 1, '1');
    d.digits.pop_back();
    ++d.exponent;
  } else {
    ++d.digits[i - 1];
  }
  return d;
}

// The p-digit decimal one unit in the last place above (`by` = 1) or below (-1) `d`.
Decimal Neighbour(Decimal d, int by) {
  const std::size_t p = d.digits.size();
  std::size_t i = p;
  const char wrap = by > 0 ? '9' : '0';
  while (i > 0 && d.digits[i - 1] == wrap) d.digits[--i] = by > 0 ? '0' : '9';
  if (i == 0) {  // 99..9 up to 100..0, one place higher
    d.digits.insert(0, 1, '1');
    d.digits.pop_back();
    ++d.exponent;
    return d;
  }
  d.digits[i - 1] = static_cast<char>(d.digits[i - 1] + by);
  if (d.digits[0] == '0') {  // 10..0 down to 99..9, one place lower
    d.digits = std::string(p, '9');
    --d.exponent;
  }
  return d;
}

// The p-digit decimal that reads back as the float of `bits` (> 0, finite; `exact` its digits),
// the nearer of two; false when none does.
bool DigitsThatRead(const Decimal& exact, std::uint32_t bits, std::size_t p, Decimal& found) {
  bool down;
  found = Rounded(exact, p, down);
  if (ReadsBackAs(found, bits)) return true;
  // Beside a power of two the float's rounding interval is lopsided: the nearest p-digit
  // decimal can fall outside it on the short side while the one on the long side is inside.
  found = Neighbour(found, down ? 1 : -1);
  return ReadsBackAs(found, bits);
}

// The fewest digits that read back as `value` (> 0, finite); of two such, the nearer. Whether
// p digits can grows with p (a p-digit decimal is a p + 1-digit one too), and 9 always can:
// halving finds the fewest in four tries where counting up takes eight for most coordinates.
Decimal ShortestDecimal(float value) {
  const Decimal exact = ExactDecimal(value);
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  std::size_t low = 1, high = 9;
  Decimal found, best;
  bool have = false;
  while (low < high) {
    const std::size_t p = (low + high) / 2;
    if (DigitsThatRead(exact, bits, p, found)) {
      high = p;
      best = found;
      have = true;
    } else {
      low = p + 1;
    }
  }
  if (have && best.digits.size() == high) return best;
  DigitsThatRead(exact, bits, high, found);
  return found;
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
    // A whole number (below 2^24 a shorter whole text would be a float of its own): libstdc++
    // writes all its digits rather than the shortest ones and zeros.
    fixed = ExactDecimal(value).digits;
    fixed.resize(static_cast<std::size_t>(e) + 1, '0');
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

// "inf", "infinity" or "nan" (with its optional "(chars)") at `at`, in any letter case, as
// `value` with `sign`: the end of the word, or nullptr when there is none.
const char* ReadWord(const char* at, const char* last, float sign, float& value) {
  if (StartsWithNoCase(at, last, "inf")) {
    value = sign * std::numeric_limits<float>::infinity();
    return at + (StartsWithNoCase(at, last, "infinity") ? 8 : 3);
  }
  if (!StartsWithNoCase(at, last, "nan")) return nullptr;
  at += 3;
  if (at != last && *at == '(') {
    const char* close = at + 1;
    while (close != last && IsNanChar(*close)) ++close;
    if (close != last && *close == ')') at = close + 1;
  }
  value = std::copysign(std::numeric_limits<float>::quiet_NaN(), sign);
  return at;
}

// An exponent ("e-12") at `at`, added to `scale`: where it ends, or `at` when there is none.
const char* ReadExponent(const char* at, const char* last, long long& scale) {
  if (at == last || (*at != 'e' && *at != 'E')) return at;
  const char* exponent = at + 1;
  const bool down = exponent != last && *exponent == '-';
  if (exponent != last && (*exponent == '+' || *exponent == '-')) ++exponent;
  if (exponent == last || !IsDigit(*exponent)) return at;
  long long power = 0;
  // Far beyond any float's, the power only has to stay far beyond it.
  for (; exponent != last && IsDigit(*exponent); ++exponent)
    power = std::min(power * 10 + (*exponent - '0'), 1000000000LL);
  scale += down ? -power : power;
  return exponent;
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

  if (const char* end = ReadWord(at, last, sign, value)) return {end, std::errc()};

  // The digits, the first kReadDigits significant ones kept, and the power of ten of the last
  // one kept.
  Whole digits;
  std::uint64_t small = 0;  // the digits kept, while there are few enough for FastNearestFloatBits
  std::size_t count = 0, kept = 0;
  long long scale = 0;
  bool more = false;
  auto takeDigits = [&](bool fraction) {
    for (; at != last && IsDigit(*at); ++at, ++count) {
      if (kept == 0 && *at == '0') {
        scale -= fraction;
      } else if (kept < kReadDigits) {
        digits.MultiplyAdd(10, static_cast<std::uint32_t>(*at - '0'));
        if (kept < 19) small = small * 10 + static_cast<std::uint64_t>(*at - '0');
        ++kept;
        scale -= fraction;
      } else {
        more = more || *at != '0';
        scale += !fraction;
      }
    }
  };
  takeDigits(false);
  if (at != last && *at == '.') {
    ++at;
    takeDigits(true);
  }
  if (count == 0) return {first, std::errc::invalid_argument};
  at = ReadExponent(at, last, scale);
  if (kept == 0) {
    value = sign * 0.0f;
    return {at, std::errc()};
  }
  // The power of ten of the first significant digit: from 10^39 up past the largest float,
  // below 10^-46 under half the smallest one.
  const long long lead = scale + static_cast<long long>(kept) - 1;
  std::uint32_t bits;
  if (lead > 38) {
    bits = 0x7F800000;
  } else if (lead < -46) {
    bits = 0;
  } else if (more || kept > 15 || !FastNearestFloatBits(small, static_cast<int>(scale), bits)) {
    bits = NearestFloatBits(digits, more, static_cast<int>(scale));
  }
  if (bits == 0 || bits == 0x7F800000) return {at, std::errc::result_out_of_range};
  value = sign * FromBits(bits);
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

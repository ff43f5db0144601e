// The float text stand-in used where the C++ library lacks float <charconv> gives exactly what
// the library's std::to_chars and std::from_chars give here.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "runtime/FloatText.h"

namespace stringart {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

float FromBits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

std::uint32_t Bits(float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

// Floats where formatting turns: draws (multiples of 2^-24 below 1), powers of two and their
// neighbours (lopsided rounding intervals), whole numbers past 2^24, subnormals, the extremes.
std::vector<float> FloatsToFormat() {
  std::vector<float> floats = {0.0f,
                               -0.0f,
                               1e-5f,
                               1e-4f,
                               0.1f,
                               0.15f,
                               1.0f,
                               1e7f,
                               1e10f,
                               16777216.0f,
                               33565872.0f,
                               3.4028235e38f,
                               std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::min(),
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(),
                               -std::numeric_limits<float>::quiet_NaN()};
  for (std::uint32_t k = 0; k < (1u << 24); k += 4093) floats.push_back(k * 0x1p-24f);
  floats.push_back(1.0f - 0x1p-24f);
  for (int e = -149; e < 128; ++e) {
    const float p = std::ldexp(1.0f, e);
    floats.insert(floats.end(), {p, std::nextafter(p, 0.0f), std::nextafter(p, kInf)});
  }
  std::mt19937 random(12);
  for (int i = 0; i < 40000; ++i) floats.push_back(FromBits(static_cast<std::uint32_t>(random())));
  return floats;
}

TEST(FloatText, FormatsAsToChars) {
  for (const float f : FloatsToFormat()) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, f);
    ASSERT_EQ(ShortestFloatText(f), std::string(buf, result.ptr))
        << "float bits 0x" << std::hex << Bits(f);
  }
}

void ExpectReadsAsFromChars(const std::string& text) {
  float expected = 0.75f, got = 0.75f;
  const auto want = std::from_chars(text.data(), text.data() + text.size(), expected);
  const auto have = ReadFloatText(text.data(), text.data() + text.size(), got);
  ASSERT_EQ(have.ptr - text.data(), want.ptr - text.data()) << "'" << text << "'";
  ASSERT_EQ(have.ec, want.ec) << "'" << text << "'";
  ASSERT_EQ(Bits(got), Bits(expected)) << "'" << text << "'";
}

TEST(FloatText, ReadsAsFromChars) {
  for (const char* text : {"",
                           "-",
                           ".",
                           "-.",
                           "+1",
                           " 1",
                           "0x10",
                           "1e",
                           "1e+",
                           "1.e5",
                           ".5",
                           "5.",
                           "00000.1",
                           "1E2",
                           "1.5e3x",
                           "0e-999",
                           "-0",
                           "1e-40",
                           "1.4e-45",
                           "7e-46",
                           "7.1e-46",
                           "1e-50",
                           "1e39",
                           "3.4028235e38",
                           "3.4028236e38",
                           "inf",
                           "-INFINITY",
                           "infinit",
                           "in",
                           "nan",
                           "-nan",
                           "nan(123)",
                           "nan(abc_1)",
                           "nan(-)",
                           "nan(",
                           "0.99999997",
                           "0.99999998",
                           "1e99999999999"}) {
    ExpectReadsAsFromChars(text);
  }
  for (const float f : FloatsToFormat()) {
    char buf[64];
    ExpectReadsAsFromChars(std::string(buf, std::to_chars(buf, buf + sizeof buf, f).ptr));
  }
  // Halfway between two floats, written to various lengths: the rounding that tells readers apart.
  std::mt19937 random(34);
  for (int i = 0; i < 20000; ++i) {
    const float f = FromBits(static_cast<std::uint32_t>(random()) & 0x7f7fffffu);
    const double halfway = (static_cast<double>(f) + std::nextafter(f, kInf)) / 2;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*e", static_cast<int>(random() % 40) + 1, halfway);
    ExpectReadsAsFromChars(buf);
  }
  // Long texts: half way points in all their digits, with a digit far past them or not, and
  // zeros leading the digits, trailing them, or both, that shift the point a long way.
  for (int i = 0; i < 2000; ++i) {
    const float f = FromBits(static_cast<std::uint32_t>(random()) & 0x7f7fffffu);
    const double halfway = (static_cast<double>(f) + std::nextafter(f, kInf)) / 2;
    char buf[320];
    std::snprintf(buf, sizeof buf, "%.160e", halfway);
    std::string text = buf;
    ExpectReadsAsFromChars(text);
    const std::size_t e = text.find('e');
    ExpectReadsAsFromChars(text.substr(0, e) + std::string(300, '0') + "1" + text.substr(e));
    ExpectReadsAsFromChars(text.substr(0, e) + std::string(300, '0') + text.substr(e));
  }
  ExpectReadsAsFromChars("0." + std::string(500, '0') + "34e500");
  ExpectReadsAsFromChars("34" + std::string(500, '0') + "e-500");
  ExpectReadsAsFromChars("0." + std::string(200, '0') +
                         "7006492321624085354618647916449580656401e154");
  ExpectReadsAsFromChars("7006492321624085354618647916449580656401" + std::string(200, '0') +
                         "e-285");
  // Anything made of the characters a float is written with.
  const std::string alphabet = "0123456789009..eE+-infatyINFN()x_";
  for (int i = 0; i < 50000; ++i) {
    std::string text(1 + random() % 16, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    ExpectReadsAsFromChars(text);
  }
}

}  // namespace
}  // namespace stringart

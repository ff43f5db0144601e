#pragma once

#include <charconv>
#include <string>

namespace stringart {

// The float text every writer and reader of this program uses: the library's own float
// <charconv> where it is complete, the equal stand-in below where it is not.

// The shortest text that reads back as `value`, as std::to_chars(first, last, float) writes it.
std::string FloatToText(float value);
// Reads the longest float at `first`, as std::from_chars(first, last, float&) does.
std::from_chars_result TextToFloat(const char* first, const char* last, float& value);

// Float text for C++ libraries without the float overloads of <charconv> (emscripten's libc++):
// the same text as std::to_chars(first, last, float) and the same reading as
// std::from_chars(first, last, float&) give with the native build's libstdc++, worked out in
// exact whole-number arithmetic of their own, so that no C library float text is linked in.

// The shortest text that reads back as `value`, fixed or scientific, whichever is shorter.
std::string ShortestFloatText(float value);

// Reads the longest float at `first`: [-] digits [. digits] [e [+-] digits], or inf, infinity,
// nan, nan(...) in any letter case. Sets `value` only on success; a number beyond the float range,
// or one that is not zero but rounds to zero, gives result_out_of_range.
std::from_chars_result ReadFloatText(const char* first, const char* last, float& value);

}  // namespace stringart

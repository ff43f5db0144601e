// stringart-render's command line: the input split at NULs into arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "options/RenderOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  std::string error;
  stringart::ParseRenderOptions(args, error);
  return 0;
}

#include "app/LazyFigureFiles.h"

#include <dlfcn.h>

#include <filesystem>

#include "app/FigureFilesModule.h"
#include "options/FigureCommand.h"

namespace stringart {

std::string LazyFigureFiles::ModulePath() {
  std::error_code error;
  const std::filesystem::path bin =
      std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  const std::filesystem::path beside = bin / kFigureFilesModule;
  if (std::filesystem::exists(beside, error)) return beside;
  // STRINGART_FILES_MODULE_DIR: the installed module's folder, relative to the program's.
  return (bin / STRINGART_FILES_MODULE_DIR / kFigureFilesModule).lexically_normal();
}

std::string LazyFigureFiles::Command(const FigureRecord& figure) {
  return CopiedCommand(figure);
}

FigureFiles* LazyFigureFiles::Files(std::string& error) {
  std::call_once(once_, [this] {
    // Kept for the rest of the run: the files it hands out live in it.
    void* module = dlopen(module_.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry =
        module != nullptr
            ? reinterpret_cast<decltype(&StringartFigureFiles)>(dlsym(module, kFigureFilesEntry))
            : nullptr;
    if (entry != nullptr) {
      files_ = entry();
    } else {
      const char* why = dlerror();
      failure_ = "the file formats could not be loaded from " + module_ + ": " +
                 (why != nullptr ? why : "it has no entry");
    }
  });
  if (files_ == nullptr) error = failure_;
  return files_;
}

}  // namespace stringart

# Cairo through pkg-config, as Cairo::Cairo; read by find_package(Cairo), so that
# -DCMAKE_DISABLE_FIND_PACKAGE_Cairo=ON turns it off like any other package.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(CAIRO QUIET IMPORTED_TARGET cairo)
endif()
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Cairo REQUIRED_VARS CAIRO_LINK_LIBRARIES VERSION_VAR CAIRO_VERSION)
if(Cairo_FOUND AND NOT TARGET Cairo::Cairo)
  add_library(Cairo::Cairo ALIAS PkgConfig::CAIRO)
endif()

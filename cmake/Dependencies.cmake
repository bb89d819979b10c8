# Every third-party library the player links, gathered behind one interface target.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
# libdeflate inflates whole zlib buffers in one call, about twice as fast as zlib's inflate.
pkg_check_modules(LIBDEFLATE REQUIRED IMPORTED_TARGET libdeflate)
pkg_check_modules(MEDIA_LIBS REQUIRED IMPORTED_TARGET vorbisfile libavformat libavcodec libswscale libswresample libavutil fluidsynth)

add_library(mobu_deps INTERFACE)
target_link_libraries(mobu_deps INTERFACE
  PkgConfig::SDL2 PkgConfig::FREETYPE PkgConfig::FONTCONFIG PkgConfig::MEDIA_LIBS PkgConfig::LIBDEFLATE
  ZLIB::ZLIB PNG::PNG JPEG::JPEG Threads::Threads)

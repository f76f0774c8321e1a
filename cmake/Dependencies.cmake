# Every system library Pellora builds against, as imported targets.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost REQUIRED)

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo)
pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(PORTAUDIO REQUIRED IMPORTED_TARGET portaudio-2.0)
pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
pkg_check_modules(XEXT REQUIRED IMPORTED_TARGET xext x11 xcb)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)

# Loki's SingletonHolder is header-only; include it as a system header so its
# own warnings stay out of our build.
find_path(LOKI_INCLUDE_DIR loki/Singleton.h REQUIRED)
add_library(pellora_loki INTERFACE)
target_include_directories(pellora_loki SYSTEM INTERFACE ${LOKI_INCLUDE_DIR})

add_library(pellora_tinyxml INTERFACE)
target_link_libraries(pellora_tinyxml INTERFACE PkgConfig::TINYXML)

# PortAudio is linked from Debian's static library: only there is its hook for
# its own messages (PaUtil_SetDebugPrintFunction) to be had, and without it the
# library writes every failed step to stderr, once a second while a sound
# server is away. The static library needs what the shared one brings along.
find_library(PORTAUDIO_STATIC_LIBRARY NAMES libportaudio.a HINTS ${PORTAUDIO_LIBRARY_DIRS} REQUIRED)
add_library(pellora_portaudio INTERFACE)
target_include_directories(pellora_portaudio SYSTEM INTERFACE ${PORTAUDIO_INCLUDE_DIRS})
target_link_libraries(pellora_portaudio INTERFACE ${PORTAUDIO_STATIC_LIBRARY} PkgConfig::ALSA PkgConfig::JACK m
  Threads::Threads)

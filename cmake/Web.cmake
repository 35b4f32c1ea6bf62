# The browser build: the same folders compiled to WebAssembly by emscripten,
# with platform/web/ in place of the desktop backend, into a folder `web/`
# holding the page (index.html), tessaly.js, tessaly.wasm and the data pack
# tessaly.data that the page preloads. tools/web-build runs it.
#
# kissfft (the spectrum's FFT) is compiled from its Debian source package,
# which tools/web-build unpacks into TESSALY_KISSFFT_SOURCE.
set(TESSALY_KISSFFT_SOURCE "" CACHE PATH "Unpacked kissfft source package (kiss_fftr.c)")
if(NOT EXISTS ${TESSALY_KISSFFT_SOURCE}/kiss_fftr.c)
  message(FATAL_ERROR "TESSALY_KISSFFT_SOURCE must name kissfft's source (tools/web-build fetches it)")
endif()
add_library(tessaly_kissfft STATIC
  ${TESSALY_KISSFFT_SOURCE}/kiss_fft.c ${TESSALY_KISSFFT_SOURCE}/kiss_fftr.c)
target_compile_definitions(tessaly_kissfft PUBLIC kiss_fft_scalar=float)
target_include_directories(tessaly_kissfft SYSTEM PUBLIC ${TESSALY_KISSFFT_SOURCE})
target_compile_options(tessaly_kissfft PRIVATE -w)

# Emscripten's clang warns of character key codes ('A') as indices, which
# GCC's -Wall -Wextra leave to the code.
add_compile_options(-Wno-char-subscripts)

# The desktop backend's files that talk to SDL2, GTK, mpg123 and libpng stay out;
# the spectrum's computation and the staging of output files are shared.
tessaly_library(tessaly_platform DIRS platform/web
  SOURCES ${CMAKE_SOURCE_DIR}/platform/band_magnitudes.cpp
          ${CMAKE_SOURCE_DIR}/platform/output_file.cpp
  LIBS tessaly_kissfft)
tessaly_library(tessaly_core DIRS core)
tessaly_library(tessaly_assets DIRS assets)
tessaly_library(tessaly_render DIRS render render/web EXCLUDE render/outline_font.cpp
  LIBS tessaly_core)
tessaly_library(tessaly_demo DIRS demo demo/scenes
  LIBS tessaly_render tessaly_assets tessaly_core)
tessaly_library(tessaly_runtime DIRS runtime LIBS tessaly_demo tessaly_platform)
# The capture is compiled too, as the main loop calls it; the page never asks for one.
tessaly_library(tessaly_capture DIRS capture LIBS tessaly_runtime tessaly_platform)
tessaly_library(tessaly_app DIRS app LIBS tessaly_capture tessaly_runtime tessaly_platform)
target_compile_definitions(tessaly_capture PRIVATE TESSALY_VERSION="${PROJECT_VERSION}")
tessaly_build_switches(tessaly_runtime)

set(web ${CMAKE_BINARY_DIR}/web)
add_executable(tessaly app/main/main.cpp)
target_link_libraries(tessaly PRIVATE tessaly_app)
target_compile_definitions(tessaly PRIVATE TESSALY_VERSION="${PROJECT_VERSION}")
set_target_properties(tessaly PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${web})
# WebGL 2 only; the page starts main itself once the data pack is in and the
# form is answered; the pack is mounted as /data.
target_link_options(tessaly PRIVATE
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=268435456
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=0 -sENVIRONMENT=web
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS','ccall']"
  --preload-file ${CMAKE_SOURCE_DIR}/data@/data)
# The data pack is written when the program links: any change under data/ links it anew.
file(GLOB_RECURSE tessaly_data_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
set_property(TARGET tessaly APPEND PROPERTY LINK_DEPENDS ${tessaly_data_files})

# The page beside the program.
add_custom_target(tessaly_page ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
    ${CMAKE_SOURCE_DIR}/platform/web/page/index.html ${CMAKE_SOURCE_DIR}/platform/web/page/page.js
    ${CMAKE_SOURCE_DIR}/platform/web/page/page.css ${web}
  COMMENT "Copying the page beside the program")

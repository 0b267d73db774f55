# The Windows program: lumiseek.exe from the Win32 shell sources, the resources and the core.
# Included by the root CMakeLists.txt when building for Windows (MinGW-w64 or MSVC).

enable_language(RC)

set(LUMISEEK_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/resources)

if(LUMISEEK_SHELL_SOURCES)
  add_executable(lumiseek WIN32 ${LUMISEEK_SHELL_SOURCES} ${LUMISEEK_RESOURCE_DIR}/lumiseek.rc)
  target_link_libraries(lumiseek PRIVATE lumiseek_core
    comctl32 ole32 oleacc oleaut32 uuid gdi32 gdiplus shell32 shlwapi user32 uxtheme comdlg32 winmm version urlmon wininet winhttp bcrypt)
  target_compile_definitions(lumiseek PRIVATE UNICODE _UNICODE)
  if(MSVC)
    target_compile_options(lumiseek PRIVATE /W4 /utf-8)
    # The manifest comes from the resource script; the linker must not add a second one.
    target_link_options(lumiseek PRIVATE /MANIFEST:NO)
    set_property(TARGET lumiseek PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    target_compile_options(lumiseek PRIVATE -Wall -Wextra)
    # Wide entry point (wWinMain) and a runtime linked in, so the .exe needs no MinGW DLLs.
    target_link_options(lumiseek PRIVATE -municode -static -static-libgcc -static-libstdc++)
  endif()
  # The resource script pulls in the manifest and the icon: rebuild it when they change.
  file(GLOB LUMISEEK_TOOLBAR_ICONS CONFIGURE_DEPENDS ${LUMISEEK_RESOURCE_DIR}/icons/*.ico)
  set_source_files_properties(${LUMISEEK_RESOURCE_DIR}/lumiseek.rc PROPERTIES OBJECT_DEPENDS
    "${LUMISEEK_RESOURCE_DIR}/lumiseek.manifest;${LUMISEEK_RESOURCE_DIR}/lumiseek.ico;${LUMISEEK_TOOLBAR_ICONS}")
else()
  message(WARNING "No *_win32.cpp shell sources under src/: lumiseek.exe is not built")
endif()

# start_lumiseek.exe, the restarter that starts lumiseek.exe again after an update, built beside it.
add_executable(start_lumiseek WIN32 ${CMAKE_SOURCE_DIR}/launcher/start_lumiseek.cpp)
target_compile_definitions(start_lumiseek PRIVATE UNICODE _UNICODE)
# The names it shares with the program (the log, its marks) come from the program's update header.
target_include_directories(start_lumiseek PRIVATE ${CMAKE_SOURCE_DIR}/src ${LUMISEEK_GENERATED_DIR})
set_target_properties(start_lumiseek PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
if(MSVC)
  target_compile_options(start_lumiseek PRIVATE /W4 /utf-8)
  set_property(TARGET start_lumiseek PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
  target_compile_options(start_lumiseek PRIVATE -Wall -Wextra)
  target_link_options(start_lumiseek PRIVATE -municode -static -static-libgcc -static-libstdc++)
endif()

# Test-only pieces, built with MinGW: the test voice, the probe that exercises it, the es recorder,
# wintext, which reads control texts of the running program, and add_printer, a printer into a file.
# Kept in their own folder so that they never end up beside lumiseek.exe for users.
option(LUMISEEK_BUILD_TEST_VOICE "Build the test voice used by the end-to-end tests" ON)
if(LUMISEEK_BUILD_TEST_VOICE AND NOT MSVC)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e/testvoice ${CMAKE_BINARY_DIR}/testvoice)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e/esrecorder ${CMAKE_BINARY_DIR}/esrecorder)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e/wintext ${CMAKE_BINARY_DIR}/wintext)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e/printer ${CMAKE_BINARY_DIR}/printer)
endif()

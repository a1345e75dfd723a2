# The Windows targets: the Win32 layer, Promptella.exe, the Win32 tests and the end-to-end driver.
enable_language(RC)

add_library(promptella_win32 STATIC
  platform/win32/accessible_name.cpp
  platform/win32/application.cpp
  platform/win32/error_boundary.cpp
  platform/win32/folder_access.cpp
  platform/win32/console_api.cpp
  platform/win32/controls/button.cpp
  platform/win32/controls/combo_box.cpp
  platform/win32/controls/control.cpp
  platform/win32/controls/drive_list.cpp
  platform/win32/controls/folder_list.cpp
  platform/win32/controls/label.cpp
  platform/win32/controls/menu_item.cpp
  platform/win32/controls/name_sorter.cpp
  platform/win32/controls/message_box.cpp
  platform/win32/off_thread.cpp
  platform/win32/process_launcher.cpp
  platform/win32/suggestions.cpp
  platform/win32/worker.cpp
)
target_link_libraries(promptella_win32 PUBLIC promptella_core comctl32)
promptella_options(promptella_win32)

# The program's own windows, built on the adapters: the main window, its dialogs, fonts and
# pictures.
add_library(promptella_ui STATIC
  ui/win32/dialogs.cpp
  ui/win32/fonts.cpp
  ui/win32/main_window.cpp
  ui/win32/pictures.cpp
)
target_link_libraries(promptella_ui PUBLIC promptella_win32)
promptella_options(promptella_ui)

if(MINGW)
  # One self-contained executable: no MinGW run-time DLLs beside it.
  set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
endif()

add_executable(Promptella WIN32 app/main.cpp app/promptella.rc)
target_link_libraries(Promptella PRIVATE promptella_ui)
promptella_options(Promptella)
if(MINGW)
  # One small file: unused functions and data are left out, and no symbols are kept.
  foreach(target promptella_core promptella_win32 promptella_ui Promptella)
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
  endforeach()
  # Sections aligned in the file as in memory, so that the loader can map them from the file
  # instead of reading them into private memory.
  set(PAGE_ALIGNED -Wl,--file-alignment,4096)
  target_link_options(Promptella PRIVATE -municode ${STATIC_RUNTIME} -Wl,--gc-sections -s
                      ${PAGE_ALIGNED})
elseif(MSVC)
  # The manifest comes from the resource script.
  target_link_options(Promptella PRIVATE /MANIFEST:NO)
endif()

if(PROMPTELLA_TESTS)
  # GoogleTest from Debian's sources, built with this toolchain.
  set(GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)  # the static run-time, as the program
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)

  # The portable unit tests once more, against the Win32 files and code pages (the native build
  # runs them with sanitizers).
  file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
  add_executable(unit_tests ${UNIT_TEST_SOURCES})
  target_link_libraries(unit_tests PRIVATE promptella_core gtest gmock gtest_main)
  promptella_options(unit_tests)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GCC" OR CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 sees an overlapping copy in std::string's operator+ where there is none (its bug
    # 105329), in the tests' "key" + std::to_string(i).
    target_compile_options(unit_tests PRIVATE -Wno-restrict)
  endif()

  file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp)
  add_executable(win32_tests ${WIN32_TEST_SOURCES})
  target_link_libraries(win32_tests PRIVATE promptella_ui gtest gtest_main oleacc ole32 oleaut32)
  promptella_options(win32_tests)

  # Works the real program from outside: shared by the end-to-end tests and the benchmarks.
  add_library(e2e_driver STATIC tests/e2e/driver.cpp)
  target_link_libraries(e2e_driver PUBLIC promptella_core comctl32 dwmapi gdi32)
  promptella_options(e2e_driver)

  file(GLOB E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*_test.cpp)
  add_executable(e2e_tests ${E2E_SOURCES})
  target_link_libraries(e2e_tests PRIVATE e2e_driver gtest gtest_main oleacc ole32 oleaut32)
  promptella_options(e2e_tests)

  # A dwmapi.dll that leaves a mark when loaded: planted beside the program, it must not be.
  add_library(planted_dll SHARED tests/e2e/planted_dll.cpp)
  set_target_properties(planted_dll PROPERTIES OUTPUT_NAME dwmapi PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:e2e_tests>/planted)
  promptella_options(planted_dll)
  add_dependencies(e2e_tests planted_dll)

  # The portable package's Explorer entries, beside the tests that run them.
  add_custom_command(TARGET e2e_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:e2e_tests>/packaging
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/packaging/register.cmd
            ${CMAKE_SOURCE_DIR}/packaging/unregister.cmd $<TARGET_FILE_DIR:e2e_tests>/packaging)

  add_executable(bench bench/bench.cpp)
  target_link_libraries(bench PRIVATE e2e_driver promptella_ui psapi)
  promptella_options(bench)
  add_executable(floor WIN32 bench/floor.cpp)
  promptella_options(floor)
  add_dependencies(bench floor Promptella)

  if(MINGW)
    target_link_options(win32_tests PRIVATE ${STATIC_RUNTIME})
    target_link_options(unit_tests PRIVATE ${STATIC_RUNTIME})
    target_link_options(e2e_tests PRIVATE ${STATIC_RUNTIME})
    target_link_options(planted_dll PRIVATE ${STATIC_RUNTIME})
    target_link_options(bench PRIVATE ${STATIC_RUNTIME})
    target_link_options(floor PRIVATE -municode ${STATIC_RUNTIME} ${PAGE_ALIGNED})
  endif()
endif()

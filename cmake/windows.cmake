# Windows tree: the core and the Win32 shell, cross-built with MinGW-w64 and
# linked statically so every binary imports system DLLs only.
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The product's libraries, and checked copies that the tests link: with
# _GLIBCXX_ASSERTIONS an index past a container's end aborts the test.
foreach(variant IN ITEMS "" "_checked")
  add_library(gyrel_core${variant} STATIC ${CORE_SOURCES}
    figure/tick_count_win32.cpp
    drawing/gdi_surface.cpp
    drawing/smooth_canvas.cpp
    settings/registry_win32.cpp)
  target_compile_options(gyrel_core${variant} PRIVATE -O2 -ffunction-sections -fdata-sections)
  target_link_libraries(gyrel_core${variant} PUBLIC msimg32 shell32 ole32 uuid)

  # The Win32 shell: animation, host and configuration.
  add_library(gyrel_shell${variant} STATIC
    host/command_line.cpp
    host/close_rules.cpp
    host/close_policy.cpp
    host/saver_window.cpp
    host/entry.cpp
    animation/saver_procedure.cpp
    animation/preview_control.cpp
    config/configure_dialog.cpp
    config/help.cpp)
  target_compile_options(gyrel_shell${variant} PRIVATE -O2 -ffunction-sections -fdata-sections)
  target_link_libraries(gyrel_shell${variant} PUBLIC gyrel_core${variant} comctl32 shell32)
endforeach()
target_compile_definitions(gyrel_core_checked PUBLIC _GLIBCXX_ASSERTIONS)

configure_file(resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
set(CMAKE_RC_FLAGS "-I${CMAKE_SOURCE_DIR} -I${CMAKE_BINARY_DIR}/generated")
set_source_files_properties(resources/gyrel.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/version.h;${CMAKE_SOURCE_DIR}/resources/gyrel.ico;${CMAKE_SOURCE_DIR}/resources/gyrel.manifest;${CMAKE_SOURCE_DIR}/resources/resource_ids.h")

add_executable(GyrelSaver WIN32 host/main.cpp host/lean_runtime.cpp resources/gyrel.rc)
set_target_properties(GyrelSaver PROPERTIES SUFFIX ".scr")
target_link_libraries(GyrelSaver gyrel_shell)
target_link_options(GyrelSaver PRIVATE ${STATIC_RUNTIME} -s -Wl,--gc-sections)
# Signed when GYREL_SIGN_CERT and GYREL_SIGN_KEY name a certificate (README).
add_custom_command(TARGET GyrelSaver POST_BUILD COMMAND ${CMAKE_SOURCE_DIR}/scripts/sign.sh $<TARGET_FILE:GyrelSaver>)

# The help file, compiled with chmcmd from resources/help.
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/help/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/GyrelSaver.chm
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-chm.sh ${CMAKE_SOURCE_DIR}/resources/help ${CMAKE_BINARY_DIR}/GyrelSaver.chm
  DEPENDS ${HELP_SOURCES} ${CMAKE_SOURCE_DIR}/scripts/build-chm.sh)
add_custom_target(help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/GyrelSaver.chm)

add_executable(win_tests figure/curve_points_test.cpp raster/smooth_fill_test.cpp settings/registry_win32_test.cpp)
target_link_libraries(win_tests gyrel_core_checked gtest_main)
target_link_options(win_tests PRIVATE ${STATIC_RUNTIME})
add_test(NAME win_tests COMMAND win_tests)

add_executable(host_tests host/message_chain_test.cpp tests/import_hook.cpp)
target_link_libraries(host_tests gyrel_shell_checked gtest_main)
target_link_options(host_tests PRIVATE ${STATIC_RUNTIME})
add_test(NAME host_tests COMMAND host_tests)

add_executable(config_tests config/configure_dialog_test.cpp tests/import_hook.cpp resources/gyrel.rc)
target_link_libraries(config_tests gyrel_shell_checked gtest_main)
target_link_options(config_tests PRIVATE ${STATIC_RUNTIME})
add_test(NAME config_tests COMMAND config_tests)
set_tests_properties(config_tests PROPERTIES RUN_SERIAL TRUE)

add_executable(endurance tests/endurance/endurance.cpp)
target_link_libraries(endurance gyrel_shell_checked psapi)
target_link_options(endurance PRIVATE ${STATIC_RUNTIME})
add_test(NAME endurance_60s COMMAND endurance 60)
set_tests_properties(endurance_60s PROPERTIES RUN_SERIAL TRUE TIMEOUT 200)

add_executable(timer_only WIN32 tests/bench/timer_only.cpp)
target_link_options(timer_only PRIVATE ${STATIC_RUNTIME} -mconsole)

add_executable(window_flush tests/bench/window_flush.cpp)
target_link_options(window_flush PRIVATE ${STATIC_RUNTIME})
add_executable(draw_benchmark tests/bench/draw_benchmark_steady.cpp tests/bench/draw_workload.cpp)
target_compile_options(draw_benchmark PRIVATE -O2)
target_link_libraries(draw_benchmark gyrel_core)
target_link_options(draw_benchmark PRIVATE ${STATIC_RUNTIME})

# A DLL that notes its loading, planted beside a copy of the saver by the
# installer's end-to-end test; never shipped.
add_library(planted_dll SHARED tests/doubles/planted_dll.cpp)
target_link_options(planted_dll PRIVATE ${STATIC_RUNTIME})
set_target_properties(planted_dll PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)
# A window that notes the system's setting-change broadcasts, for the same test.
add_executable(setting_listener WIN32 tests/doubles/setting_listener.cpp)
target_link_options(setting_listener PRIVATE ${STATIC_RUNTIME} -mconsole)
set_target_properties(setting_listener PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)
# The texts a page of the setup shows, for the same test.
add_executable(window_texts tests/doubles/window_texts.cpp)
target_link_options(window_texts PRIVATE ${STATIC_RUNTIME})
set_target_properties(window_texts PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/doubles)

# End-to-end: the real .scr under Wine, driven by real X input.
add_test(NAME saver_e2e COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/saver_e2e.sh ${CMAKE_BINARY_DIR})
set_tests_properties(saver_e2e PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
add_test(NAME smooth_e2e COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/smooth_e2e.sh ${CMAKE_BINARY_DIR})
set_tests_properties(smooth_e2e PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)

# The per-user install's "make it my screen saver" program, and the setup
# program, made with NSIS from the saver, its help file and that program.
set(MAKE_CURRENT ${CMAKE_BINARY_DIR}/MakeCurrent.exe)
add_custom_command(OUTPUT ${MAKE_CURRENT}
  COMMAND makensis -V2 -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTFILE=${MAKE_CURRENT}
          ${CMAKE_SOURCE_DIR}/installer/MakeCurrent.nsi
  DEPENDS ${CMAKE_SOURCE_DIR}/installer/MakeCurrent.nsi ${CMAKE_SOURCE_DIR}/installer/current-saver.nsh)
set(SETUP ${CMAKE_BINARY_DIR}/GyrelSaver-Setup.exe)
add_custom_command(OUTPUT ${SETUP}
  COMMAND makensis -V2 -DVERSION=${PROJECT_VERSION} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTFILE=${SETUP} ${CMAKE_SOURCE_DIR}/installer/GyrelSaver.nsi
  DEPENDS GyrelSaver ${CMAKE_BINARY_DIR}/GyrelSaver.chm ${MAKE_CURRENT} ${CMAKE_SOURCE_DIR}/installer/GyrelSaver.nsi
          ${CMAKE_SOURCE_DIR}/installer/current-saver.nsh
          ${CMAKE_SOURCE_DIR}/resources/gyrel.ico ${CMAKE_SOURCE_DIR}/resources/setup-welcome.bmp ${CMAKE_SOURCE_DIR}/resources/setup-header.bmp)
add_custom_target(setup ALL DEPENDS ${SETUP})

# The fleet package: a per-machine x64 MSI made with wixl.
set(MSI ${CMAKE_BINARY_DIR}/GyrelSaver-${PROJECT_VERSION}-x64.msi)
add_custom_command(OUTPUT ${MSI}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-msi.sh ${PROJECT_VERSION} ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${MSI}
  DEPENDS GyrelSaver ${CMAKE_BINARY_DIR}/GyrelSaver.chm ${CMAKE_SOURCE_DIR}/installer/GyrelSaver.wxs
          ${CMAKE_SOURCE_DIR}/resources/gyrel.ico ${CMAKE_SOURCE_DIR}/scripts/build-msi.sh)
add_custom_target(msi ALL DEPENDS ${MSI})

# Every shipped or test binary may import system DLLs only.
add_test(NAME imports_system_dlls_only
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:GyrelSaver> ${SETUP} $<TARGET_FILE:win_tests> $<TARGET_FILE:draw_benchmark>)
set_tests_properties(imports_system_dlls_only PROPERTIES ENVIRONMENT "NO_EMULATOR=1")
add_test(NAME installer_e2e COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/installer_e2e.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set_tests_properties(installer_e2e PROPERTIES RUN_SERIAL TRUE TIMEOUT 400)

# The saver seeded from its command line, for side-by-side screenshots.
add_executable(seeded_saver WIN32 tests/bench/seeded_saver.cpp)
target_link_libraries(seeded_saver gyrel_shell)
target_link_options(seeded_saver PRIVATE ${STATIC_RUNTIME} -mconsole)

# The administrative template for Group Policy and Intune, as an
# administrator copies it: the .admx with its en-US language file.
set(POLICY_ZIP ${CMAKE_BINARY_DIR}/GyrelSaver-${PROJECT_VERSION}-policy.zip)
add_custom_command(OUTPUT ${POLICY_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${POLICY_ZIP} --format=zip GyrelSaver.admx en-US/GyrelSaver.adml
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/policy
  DEPENDS ${CMAKE_SOURCE_DIR}/policy/GyrelSaver.admx ${CMAKE_SOURCE_DIR}/policy/en-US/GyrelSaver.adml)
add_custom_target(policy_template ALL DEPENDS ${POLICY_ZIP})

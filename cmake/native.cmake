# Native tree: the portable core tested with GoogleTest under ASan and UBSan.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(gyrel_core_checked STATIC ${CORE_SOURCES} figure/tick_count_posix.cpp)
target_compile_options(gyrel_core_checked PUBLIC ${SANITIZE})
target_link_options(gyrel_core_checked PUBLIC ${SANITIZE})

add_library(gyrel_core_fast STATIC ${CORE_SOURCES} figure/tick_count_posix.cpp)
target_compile_options(gyrel_core_fast PRIVATE -O2)

add_executable(core_tests
  tests/recording_surface.cpp
  tests/memory_registry.cpp
  figure/random_test.cpp
  figure/color_walker_test.cpp
  figure/trochoid_curve_test.cpp
  figure/curve_set_test.cpp
  figure/background_test.cpp
  settings/saver_settings_test.cpp)
target_link_libraries(core_tests gyrel_core_checked GTest::gtest_main)
add_test(NAME core_tests COMMAND core_tests)

add_executable(draw_benchmark tests/bench/draw_benchmark_google.cpp tests/bench/draw_workload.cpp
  tests/memory_registry.cpp)
target_compile_options(draw_benchmark PRIVATE -O2)
target_link_libraries(draw_benchmark gyrel_core_fast benchmark::benchmark)

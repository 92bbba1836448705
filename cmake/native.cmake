# Native tree: the portable core tested with GoogleTest under ASan and UBSan.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

set(PORTABLE_HOST_SOURCES host/command_line.cpp host/close_rules.cpp)
add_library(gyrel_core_checked STATIC ${CORE_SOURCES} ${PORTABLE_HOST_SOURCES} figure/tick_count_posix.cpp)
target_compile_options(gyrel_core_checked PUBLIC ${SANITIZE})
# An index past a container's end aborts the test that makes it.
target_compile_definitions(gyrel_core_checked PUBLIC _GLIBCXX_ASSERTIONS)
target_link_options(gyrel_core_checked PUBLIC ${SANITIZE})

add_library(gyrel_core_fast STATIC ${CORE_SOURCES} figure/tick_count_posix.cpp)
target_compile_options(gyrel_core_fast PRIVATE -O2)

add_executable(core_tests
  tests/empty_registry.cpp
  figure/curve_points_test.cpp
  figure/engine_test.cpp
  raster/smooth_fill_test.cpp
  raster/smooth_stroke_test.cpp
  drawing/smooth_surface_test.cpp
  policy/template_test.cpp
  host/command_line_test.cpp
)
target_link_libraries(core_tests gyrel_core_checked GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE GYREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_test(NAME core_tests COMMAND core_tests)

add_executable(draw_benchmark tests/bench/draw_benchmark_google.cpp tests/bench/draw_workload.cpp
  tests/empty_registry.cpp)
# The largest drift of rotated points from the exact formula between anchors.
add_executable(rotation_drift tests/bench/rotation_drift.cpp tests/empty_registry.cpp)
target_compile_options(rotation_drift PRIVATE -O2)
target_link_libraries(rotation_drift gyrel_core_fast)
target_compile_options(draw_benchmark PRIVATE -O2)
target_link_libraries(draw_benchmark gyrel_core_fast benchmark::benchmark)
# The strokes against the bare blend of the same pixels.
add_executable(stroke_benchmark tests/bench/stroke_benchmark.cpp)
target_compile_options(stroke_benchmark PRIVATE -O2)
target_link_libraries(stroke_benchmark gyrel_core_fast)

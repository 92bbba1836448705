# make test: install what is missing, build both trees, run every test.
# make run:  build the saver and run it full screen under Wine.
BUILD := build
NATIVE := $(BUILD)/native
WINDOWS := $(BUILD)/windows
JOBS ?= $(shell nproc)

.PHONY: all deps native windows test test-native test-windows run bench clean format

all: native windows

deps:
	@scripts/install-deps.sh

$(NATIVE)/build.ninja: | deps
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(WINDOWS)/build.ninja: | deps
	cmake -S . -B $(WINDOWS) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

native: deps $(NATIVE)/build.ninja
	cmake --build $(NATIVE) -j $(JOBS)

windows: deps $(WINDOWS)/build.ninja
	cmake --build $(WINDOWS) -j $(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

test-windows: windows
	scripts/wine-session.sh $(WINDOWS) ctest --test-dir $(WINDOWS) --output-on-failure

test: test-native test-windows

bench: native windows
	$(NATIVE)/draw_benchmark
	$(NATIVE)/stroke_benchmark
	scripts/wine-session.sh $(WINDOWS) sh -c 'wine $(WINDOWS)/draw_benchmark.exe && wine $(WINDOWS)/window_flush.exe'

run: windows
	scripts/run-saver.sh $(WINDOWS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)

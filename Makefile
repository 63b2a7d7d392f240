# Tolvaren: `make test` and `make run` do everything, installing what is missing.
.PHONY: all setup native asan win64 win32 test test-native test-asan test-win64 check-exe run clean

BUILD     := build
JOBS      := $(shell nproc)
CMAKE_GEN := cmake -S . -Wno-dev
XVFB      := xvfb-run -a -s "-screen 0 1024x768x24"

all: native win64 win32

setup:
	@tools/setup.sh

native: setup
	@$(CMAKE_GEN) -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(BUILD)/native -j$(JOBS)

asan: setup
	@$(CMAKE_GEN) -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug -DTOLVAREN_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/asan -j$(JOBS)

win64: setup
	@$(CMAKE_GEN) -B $(BUILD)/win64 -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(BUILD)/win64 -j$(JOBS)

win32: setup
	@$(CMAKE_GEN) -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j$(JOBS)

test-native: native
	@cd $(BUILD)/native && ctest --output-on-failure -j$(JOBS)

test-asan: asan
	@cd $(BUILD)/asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS)

# One Wine prefix for all Windows tests, under build/; tests run one at a time
# because the end-to-end ones share the screen and the registry.
test-win64: win64
	@cd $(BUILD)/win64 && $(XVFB) ctest --output-on-failure

# The shipped 32-bit program cannot run here; its file is checked instead.
check-exe: win32
	@tools/check-exports.sh $(BUILD)/win32/Tolvaren.exe

test: test-native test-asan test-win64 check-exe
	@echo "All test suites passed."

run: native win64
	@tools/run-demo.sh $(BUILD)

clean:
	rm -rf $(BUILD)

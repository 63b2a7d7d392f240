# Tolvaren: `make test` and `make run` do everything, installing what is missing.
.PHONY: all setup native asan release win64 win32 win32-tests test test-native test-asan \
        test-win64 test-win32 wine32-root check check-exe fuzz-build test-fuzz fuzz run bench dist \
        check-release install clean

BUILD     := build
JOBS      := $(shell nproc)
CMAKE_GEN := cmake -S . -Wno-dev
# Both native builds read the same Wine prefixes in their tests.
NATIVE_GEN := $(CMAKE_GEN) "-DTOLVAREN_WINE_TEST_PREFIXES=$(CURDIR)/$(BUILD)/wine-prefix-test"
XVFB      := xvfb-run -a -s "-screen 0 1024x768x24"
DIST      := dist
PREFIX    := /usr/local

all: native win64 win32

setup:
	@tools/setup.sh

native: setup
	@$(NATIVE_GEN) -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(BUILD)/native -j$(JOBS)

asan: setup
	@$(NATIVE_GEN) -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug -DTOLVAREN_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/asan -j$(JOBS)

release: setup
	@$(CMAKE_GEN) -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release -DTOLVAREN_TESTS=OFF \
	    -DTOLVAREN_BENCH=ON >/dev/null
	@cmake --build $(BUILD)/release -j$(JOBS)

win64: setup
	@$(CMAKE_GEN) -B $(BUILD)/win64 -DCMAKE_BUILD_TYPE=Release -DTOLVAREN_BENCH=ON \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	    "-DTOLVAREN_CLI_UNDER_TEST=$(CURDIR)/$(BUILD)/win64/tolvaren-cli.exe" >/dev/null
	@cmake --build $(BUILD)/win64 -j$(JOBS)

# libFuzzer needs clang; the targets run under AddressSanitizer and UBSan.
fuzz-build: setup
	@CXX=clang++ $(CMAKE_GEN) -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTOLVAREN_TESTS=OFF -DTOLVAREN_FUZZ=ON -DTOLVAREN_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/fuzz -j$(JOBS)

win32: setup
	@$(CMAKE_GEN) -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j$(JOBS)

# The Windows tests again, built for 32 bits, judging the shipped files.
win32-tests: win32
	@$(CMAKE_GEN) -B $(BUILD)/win32-tests -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-tests.cmake \
	    "-DTOLVAREN_PROGRAM_UNDER_TEST=$(CURDIR)/$(BUILD)/win32/Tolvaren.exe" \
	    "-DTOLVAREN_CLI_UNDER_TEST=$(CURDIR)/$(BUILD)/win32/tolvaren-cli.exe" >/dev/null
	@cmake --build $(BUILD)/win32-tests -j$(JOBS)

test-native: native
	@cd $(BUILD)/native && ctest --output-on-failure -j$(JOBS)

test-asan: asan
	@cd $(BUILD)/asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS)

# One Wine prefix for all Windows tests, under build/; tests run one at a time
# because the end-to-end ones share the screen and the registry.
test-win64: win64
	@cd $(BUILD)/win64 && $(XVFB) ctest --output-on-failure

# This kernel runs no 32-bit code: qemu-i386 and a private 32-bit Wine do.
# Both are made once, under build/wine32, where the runner looks for them.
wine32-root: setup
	@tools/provision-wine32.sh

# The 32-bit suite in one namespace, with one Wine server for all of it.
test-win32: win32-tests wine32-root
	@cd $(BUILD)/win32-tests && $(XVFB) "$(CURDIR)/cmake/wine32-run.sh" --session ctest --output-on-failure

check-exe: win32
	@tools/check-exports.sh $(BUILD)/win32/Tolvaren.exe
	@/usr/bin/python3 tools/check_shipped_exe.py $(BUILD)/win32/Tolvaren.exe

test-fuzz: fuzz-build
	@tools/run-fuzzers.sh 20 $(BUILD)

fuzz: fuzz-build
	@tools/run-fuzzers.sh 180 $(BUILD)

test: test-native test-asan test-win64 test-win32 check-exe test-fuzz check-release
	@echo "All test suites passed."

# The quick round: the native tests, plain and sanitized.
check: test-native test-asan
	@echo "Native and sanitized test suites passed."

# The scan and the patch against their I/O floors, natively and under wine64.
bench: release win64
	@$(BUILD)/release/bench/native_bench --benchmark_min_time=0.3 --benchmark_report_aggregates_only=true \
	    --benchmark_enable_random_interleaving=true
	@cmake/wine-run.sh $(BUILD)/win64/bench/windows_bench.exe

run: native win64
	@tools/run-demo.sh $(BUILD)

# The release files: the Windows zip, the Linux tarball and Debian package,
# and their SHA-256 sums.
dist: release check-exe
	@tools/make-release.sh $(BUILD) $(DIST)

# The release as it is checked: what each file holds, as Debian sees the
# package, installed under a prefix, and made again in a fresh folder to the
# same bytes.
check-release: dist
	@tools/check-release.sh $(DIST) $(BUILD)
	@rm -rf $(BUILD)/install-check
	@cmake --install $(BUILD)/release --prefix $(BUILD)/install-check --strip >/dev/null
	@cd $(BUILD)/install-check && test "$$(find . -type f | LC_ALL=C sort | tr '\n' ' ')" = \
	    "./bin/tolvaren-cli ./share/doc/tolvaren/README.md ./share/doc/tolvaren/copyright ./share/man/man1/tolvaren-cli.1 " || \
	    { echo "make install does not install exactly the release's files" >&2; exit 1; }
	@echo "make install: bin/tolvaren-cli, share/man/man1/tolvaren-cli.1, share/doc/tolvaren/README.md, share/doc/tolvaren/copyright"
	@rm -rf $(BUILD)/repro
	@$(MAKE) --no-print-directory dist BUILD=$(BUILD)/repro DIST=$(BUILD)/repro/dist >/dev/null
	@# A timestamp server's answer differs each time: the zip it signed is left out.
	@leave_out="$${TOLVAREN_SIGN_TIMESTAMP:+windows-x86.zip}"; leave_out="$${leave_out:-^$$}"; \
	    grep -v "$$leave_out" $(DIST)/SHA256SUMS >$(BUILD)/repro/first.sums; \
	    grep -v "$$leave_out" $(BUILD)/repro/dist/SHA256SUMS >$(BUILD)/repro/second.sums; \
	    cmp -s $(BUILD)/repro/first.sums $(BUILD)/repro/second.sums || \
	    { echo "not reproducible:"; diff $(BUILD)/repro/first.sums $(BUILD)/repro/second.sums; exit 1; }
	@echo "reproducible: a second build in $(BUILD)/repro gave the same SHA-256 for every file"

install: release
	@cmake --install $(BUILD)/release --prefix $(PREFIX) --strip

# Tests mark files immutable while they run; a test that died may leave one.
clean:
	-chattr -R -i $(BUILD) 2>/dev/null
	rm -rf $(BUILD) $(DIST)

# The two commands of the README:
#   make demo   set up, build, then build the shipped example into a setup executable
#   make test   set up, build, run every test (native, checked, Win32 under Wine, fuzzing)
JOBS ?= 2
NATIVE := build/native
WIN32  := build/win32
# The checked tree: clang with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer.
ASAN   := build/asan
# Seconds of fuzzing per target in `make test`; `make fuzz FUZZ_SECONDS=3600` runs longer.
FUZZ_SECONDS ?= 60

.PHONY: all setup build build-native build-win32 build-asan demo test test-native test-win32 \
	test-asan test-fuzz fuzz clean

all: build

setup:
	@bash scripts/setup.sh

build: setup build-native build-win32

build-native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(NATIVE) -j$(JOBS)

build-win32:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
	cmake --build $(WIN32) -j$(JOBS)

build-asan: setup
	cmake -S . -B $(ASAN) -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	  -DVELASET_SANITIZE=ON -DVELASET_FUZZ=ON
	cmake --build $(ASAN) -j$(JOBS)

demo: build
	@bash scripts/demo.sh

# One fresh Wine prefix per test run.
test: build build-asan
	rm -rf build/wineprefix build/wineprefix.lock
	tests/wine/boot.sh
	$(MAKE) --no-print-directory test-native test-asan test-win32 test-fuzz

test-native:
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# The whole native suite again with the sanitizers; any report fails its test. The
# end-to-end scripts drive the deliverables of build/bin and Wine, which the native
# run has already checked, so they are left out here.
test-asan:
	UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN) --output-on-failure -j$(JOBS) \
	  -E '^e2e[.]'

test-fuzz:
	tests/fuzz/run.sh $(FUZZ_SECONDS)

fuzz: build-asan
	tests/fuzz/run.sh $(FUZZ_SECONDS)

test-win32:
	ctest --test-dir $(WIN32) --output-on-failure

clean:
	rm -rf build

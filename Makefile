# The two commands of the README:
#   make demo   set up and build only what the example needs, then build the shipped
#               example into its setup executables
#   make test   set up, build, run every test tier and print a summary (tests/tiers.sh)
JOBS ?= 2
NATIVE := build/native
WIN32  := build/win32
WIN64  := build/win64
# The checked tree: clang with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer.
ASAN   := build/asan
# Seconds of fuzzing per target in `make test`; `make fuzz FUZZ_SECONDS=3600` runs longer.
FUZZ_SECONDS ?= 60
export JOBS FUZZ_SECONDS

.PHONY: all setup setup-build demo-programs build build-native build-win32 build-win32-stubs build-win64 build-asan demo \
	test test-native test-asan test-win32 test-win64 test-fuzz fuzz clean

all: build

setup:
	@bash scripts/setup.sh

setup-build:
	@bash scripts/setup.sh --build

# Each Windows tree copies the other one's stub and runtime (every wizard carries both
# stubs, every builder finds both runtimes): the 32-bit stub and runtime come first,
# then the 64-bit tree, then the rest of the 32-bit tree.
build: setup build-native build-win64 build-win32

build-native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(NATIVE) -j$(JOBS)

build-win32-stubs:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
	cmake --build $(WIN32) -j$(JOBS) --target avviora avviora_runtime

build-win64: build-win32-stubs
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
	cmake --build $(WIN64) -j$(JOBS)

build-win32: build-win64
	cmake --build $(WIN32) -j$(JOBS)

build-asan: setup
	cmake -S . -B $(ASAN) -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	  -DVELASET_SANITIZE=ON -DVELASET_FUZZ=ON
	cmake --build $(ASAN) -j$(JOBS)

# The example needs the native command, both stubs and runtimes and the example's
# programs: those targets alone, in the same trees that `make build` builds whole.
DEMO_WINDOWS_TARGETS := avviora avviora_runtime demo_program demo_registered_library
demo-programs: setup-build
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(NATIVE) -j$(JOBS) --target velaset
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
	cmake --build $(WIN32) -j$(JOBS) --target $(DEMO_WINDOWS_TARGETS)
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
	cmake --build $(WIN64) -j$(JOBS) --target $(DEMO_WINDOWS_TARGETS)
	cmake --build $(WIN32) -j$(JOBS) --target win64_x64_Avviora64_exe win64_x64_avviora_dll

demo: demo-programs
	@bash scripts/demo.sh

# Every tier, each with a fresh Wine prefix: native, sanitizers, Windows 32-bit (where
# the host runs 32-bit programs; VELASET_SKIP_WIN32=1 leaves it out anywhere), Windows
# 64-bit, fuzzing; then the summary.
test: build build-asan
	bash tests/tiers.sh

test-native:
	bash tests/tiers.sh native

test-asan:
	bash tests/tiers.sh sanitizers

test-win32:
	bash tests/tiers.sh wine32

test-win64:
	bash tests/tiers.sh wine64

test-fuzz:
	bash tests/tiers.sh fuzz

fuzz: build-asan
	tests/fuzz/run.sh $(FUZZ_SECONDS)

clean:
	rm -rf build

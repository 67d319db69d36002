# The two commands of the README:
#   make demo   set up, build, then build the shipped example into a setup executable
#   make test   set up, build, run every test (native, then the Win32 build under Wine)
JOBS ?= 2
NATIVE := build/native
WIN32  := build/win32

.PHONY: all setup build build-native build-win32 demo test test-native test-win32 clean

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

demo: build
	@bash scripts/demo.sh

# One fresh Wine prefix per test run.
test: build
	rm -rf build/wineprefix build/wineprefix.lock
	tests/wine/boot.sh
	$(MAKE) --no-print-directory test-native test-win32

test-native:
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

test-win32:
	ctest --test-dir $(WIN32) --output-on-failure

clean:
	rm -rf build

# Thin front over the CMake presets.
#   make          build build/strma
#   make run      build, then start the calculator in the current directory
#   make test     build, then run every test
#   make package  build the Debian package into build/package/
#   make test-windows  build for Windows x86-64, run its tests under Wine
#   make test-aarch64  build for Linux aarch64, run its tests under qemu-aarch64
# Missing build tools are installed on a Debian machine (as root) or named.
.PHONY: all run configure test test-sanitize package clean test-windows test-aarch64

all: configure
	cmake --build --preset default

run: configure
	cmake --build --preset default --target strma
	./build/strma

configure:
	@scripts/ensure-build-tools
	@test -f build/build.ninja || cmake --preset default

test:
	@scripts/ensure-build-tools --test
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

test-sanitize:
	@scripts/ensure-build-tools --test
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# The cross targets' end-to-end tests and their comparison use the host build (build/).
test-windows: all
	@sed -n 's/^\([^#][^|]*[^ ]\) *| *\(.*\)/skipped under Wine: \1 (\2)/p' tests/cross/wine-skips.txt
	cmake --preset windows
	cmake --build --preset windows
	WINEPREFIX=$(CURDIR)/build-windows/wine-prefix tests/cross/wine-session.sh ctest --preset windows

test-aarch64: all
	cmake --preset aarch64
	cmake --build --preset aarch64
	ctest --preset aarch64

package: all
	cd build && cpack -G DEB

clean:
	rm -rf build build-sanitize build-windows build-aarch64

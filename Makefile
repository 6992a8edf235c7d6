# Thin front over the CMake presets.
#   make          build build/strma
#   make run      build, then start the calculator in the current directory
#   make test     build, then run every test
#   make package  build the Debian package into build/package/
# Missing build tools are installed on a Debian machine (as root) or named.
.PHONY: all run test test-sanitize package clean

all:
	@scripts/ensure-build-tools
	@test -f build/build.ninja || cmake --preset default
	cmake --build --preset default

run: all
	./build/strma

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

package: all
	cd build && cpack -G DEB

clean:
	rm -rf build build-sanitize

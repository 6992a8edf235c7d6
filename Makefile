# Thin front over the CMake presets.
#   make        build build/strma
#   make run    build, then start the calculator in the current directory
#   make test   build, then run every test
#   make package  build the Debian package into build/package/
.PHONY: all run test test-sanitize package clean

all: build/build.ninja
	cmake --build --preset default

build/build.ninja:
	cmake --preset default

run: all
	./build/strma

test: all
	ctest --preset default

test-sanitize:
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

package: all
	cd build && cpack -G DEB

clean:
	rm -rf build build-sanitize

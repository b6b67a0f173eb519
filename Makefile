# Top-level driver: installs what the build needs, builds the three trees, runs the tests.
#   make deps   install missing Debian packages (idempotent)
#   make build  build/i686 (shipping), build/x86_64 (tests, run under Wine), build/host (tools)
#   make test   build, then run every test
#   make demo   build, then pack and install the sample product under Wine
#   make bench  build, then run the benchmarks
#   make dist   build, then write dist/sdk/ and dist/tuner/ (and their zips) for product makers

PACKAGES := g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake ninja-build wine64 xvfb xauth \
            imagemagick googletest xdotool zip
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= 2

.PHONY: all deps build test demo bench dist clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build/host/build.ninja:
	cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Release
build/i686/build.ninja:
	cmake -S . -B build/i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
build/x86_64/build.ninja:
	cmake -S . -B build/x86_64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DZINDLE_TESTS=ON

build: deps build/host/build.ninja build/i686/build.ninja build/x86_64/build.ninja
	cmake --build build/host -j $(JOBS)
	cmake --build build/i686 -j $(JOBS)
	cmake --build build/x86_64 -j $(JOBS)

SHIPPED := build/i686/setup/setup.exe build/i686/tuner/tuner.exe build/i686/products/dsetup.dll

test: build
	tools/check_layers.sh
	tools/compat.sh $(SHIPPED)
	cd build/host && ctest --output-on-failure
	cd build/x86_64 && ctest -j2 --output-on-failure

demo: build
	bash tools/demo.sh

bench: build
	bash bench/run.sh

dist: build
	tools/compat.sh $(SHIPPED)
	bash tools/dist.sh .

clean:
	rm -rf build dist

# Thin wrapper around CMake so a fresh checkout needs two commands:
#   make run    build (Release) and start the engine on this terminal
#   make test   build and run every test through CTest (needs GoogleTest)
#   make package      build the Debian package build/kelp_VERSION_ARCH.deb
#   make install      install under PREFIX (default /usr/local); DESTDIR works
#   make EXE=PATH     the full-mode engine (kelp-full, Release, portable) built
#                     and copied to PATH, as testing frameworks (OpenBench) build
# SANITIZE=address or SANITIZE=thread builds into its own directory.

SANITIZE ?=
BUILD_TYPE ?= Release
ifeq ($(SANITIZE),)
BUILD_DIR ?= build
else
BUILD_DIR ?= build-$(SANITIZE)
BUILD_TYPE = RelWithDebInfo
endif
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CTEST_ARGS ?=
# AUTO: tests are built when GoogleTest is installed; make test requires it.
TESTS ?= AUTO
test: TESTS = ON

.PHONY: all build run test clean package install exe

EXE ?=
ifeq ($(EXE),)
all: build
else
all: exe
endif

# A compiler named on the command line (CXX=clang++) is the one CMake uses.
ifeq ($(origin CXX),command line)
EXE_COMPILER = -DCMAKE_CXX_COMPILER=$(CXX)
endif
exe:
	@test -n "$(EXE)" || { echo "make exe needs EXE=PATH"; exit 2; }
	cmake -S . -B build-exe -DCMAKE_BUILD_TYPE=Release -DKELP_BUILD_TESTS=OFF $(EXE_COMPILER)
	cmake --build build-exe -j $(JOBS) --target kelp-full
	cp build-exe/kelp-full "$(EXE)"

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKELP_SANITIZE=$(SANITIZE) \
		-DKELP_BUILD_TESTS=$(TESTS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/kelp

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

clean:
	rm -rf build build-debug build-address build-thread build-exe

# Installing and packaging. The package is built without the tests; old
# packages are removed first so that exactly one build/*.deb is left.
PREFIX ?=
package: TESTS = OFF
package: build
	rm -f $(BUILD_DIR)/*.deb
	cd $(BUILD_DIR) && cpack -G DEB

# install reuses a configured build as it is (under sudo, a new configure
# would leave files owned by root in the build directory).
install:
	test -f $(BUILD_DIR)/CMakeCache.txt || $(MAKE) build
	cmake --build $(BUILD_DIR) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix "$(PREFIX)")

# Cross builds (Debian packages g++-mingw-w64-x86-64-posix and
# g++-aarch64-linux-gnu): the engines and kelp-tool (CMake target
# kelp-programs), without the tests.
#   make cross-windows   build-windows/*.exe, statically linked
#   make zip-windows     build-windows/kelp-<version>-windows-x86_64.zip
#   make cross-arm64     build-arm64/ for aarch64 Linux
.PHONY: cross-windows zip-windows cross-arm64 clean-cross

cross-windows:
	cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DKELP_BUILD_TESTS=OFF
	cmake --build build-windows -j $(JOBS) --target kelp-programs

zip-windows: cross-windows
	cmake --build build-windows --target zip-windows

cross-arm64:
	cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64-linux.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DKELP_BUILD_TESTS=OFF
	cmake --build build-arm64 -j $(JOBS) --target kelp-programs

clean: clean-cross
clean-cross:
	rm -rf build-windows build-arm64

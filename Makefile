# Thin wrapper around CMake so a fresh checkout needs two commands:
#   make run    build (Release) and start the engine on this terminal
#   make test   build and run every test through CTest
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

.PHONY: all build run test clean

all: build

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKELP_SANITIZE=$(SANITIZE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/kelp

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

clean:
	rm -rf build build-debug build-address build-thread

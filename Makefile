# Newcomer's entry points. Every target installs what it needs on a fresh Debian 12 machine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
# ccache, when present, makes rebuilds in several work trees cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
JOBS ?= $(shell nproc)

.PHONY: all deps test-deps configure build run test bench asan package format clean

all: build

deps:
	@scripts/install-deps.sh build

test-deps:
	@scripts/install-deps.sh test

configure:
	@test -f $(BUILD_DIR)/build.ninja || cmake -S . -B $(BUILD_DIR) -G Ninja \
		-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(LAUNCHER) $(CMAKE_FLAGS)

build: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/ravenmoor

test: test-deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
ifneq ($(SKIP_FUZZ),1)
	tests/fuzz/run.sh
endif

bench: build
	$(BUILD_DIR)/ravenmoor-bench

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own build tree.
asan: test-deps
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	$(MAKE) test BUILD_DIR=build-asan BUILD_TYPE=Debug SKIP_FUZZ=1 \
		CMAKE_FLAGS="-DRAVENMOOR_SANITIZE=ON -DRAVENMOOR_BUILD_BENCH=OFF"

# ravenmoor_VERSION_ARCH.deb in the build folder.
package: build
	cmake --build $(BUILD_DIR) --target package

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-asan build-fuzz

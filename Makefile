# Front end for CMake. `make run` opens the image editor; `make test` installs what is missing,
# builds and runs every test.
BUILD       ?= build
ASAN_BUILD  ?= build-asan
JOBS        ?= $(shell nproc)
MAKEFLAGS   += --no-print-directory
CMAKE_FLAGS ?=
PICTURE     ?=
VNC_PORT    ?= 5900

# The platform the user chose, if any: `make run` uses it, never the tests' default below.
USER_QT_QPA_PLATFORM := $(QT_QPA_PLATFORM)
export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps configure build run test asan bench clean

all: build

deps:
	@scripts/ensure-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Opens the editor from the build tree on PICTURE (optional); without a display, on VNC.
run: export KV_RUN_PICTURE = $(PICTURE)
run: build
	@QT_QPA_PLATFORM='$(USER_QT_QPA_PLATFORM)' VNC_PORT='$(VNC_PORT)' \
	    scripts/run-editor.sh '$(BUILD)' "$$KV_RUN_PICTURE"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same build and tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Builds and runs every benchmark once; the figures go to standard output.
bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)

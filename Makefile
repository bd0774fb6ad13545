# Build and test bprep2. `make run` and `make test` work on a fresh Debian
# machine: missing tools are installed with apt-get when run as root.

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/invoice.b

.PHONY: all run test test-sanitize fuzz bench diffcheck windows windows-test install deps clean

all: $(BUILD)/bprep2

deps:
	@missing=""; \
	command -v cmake >/dev/null 2>&1 || missing="$$missing cmake"; \
	command -v g++ >/dev/null 2>&1 || missing="$$missing g++"; \
	command -v make >/dev/null 2>&1 || missing="$$missing make"; \
	command -v ninja >/dev/null 2>&1 || missing="$$missing ninja-build"; \
	command -v pkg-config >/dev/null 2>&1 || missing="$$missing pkg-config"; \
	[ -f /usr/include/gtest/gtest.h ] || missing="$$missing libgtest-dev"; \
	[ -f /usr/include/nlohmann/json.hpp ] || missing="$$missing nlohmann-json3-dev"; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing:$$missing. Install them with: sudo apt-get install$$missing" >&2; exit 1; \
	  fi; \
	fi

$(BUILD)/Makefile: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

$(BUILD)/bprep2: deps $(BUILD)/Makefile FORCE
	cmake --build $(BUILD) --target bprep2 -j $(JOBS)

run: $(BUILD)/bprep2
	cd examples && ../$(BUILD)/bprep2 -I include $(notdir $(EXAMPLE))

test: deps $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBPREP2_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# Runs every fuzz target for FUZZ_SECONDS (default 180) each; fuzz/run.sh
# installs clang and libFuzzer where they are missing.
fuzz: deps
	FUZZ_SECONDS=$(or $(FUZZ_SECONDS),180) bash fuzz/run.sh

# Times bprep2 on generated programs, pinned to one core, beside mcpp -P.
bench: $(BUILD)/bprep2
	@command -v mcpp >/dev/null 2>&1 || { [ "$$(id -u)" = 0 ] && apt-get install -y -qq mcpp; } || true
	python3 bench/bench.py $(BUILD)/bprep2 $(BENCH_FLAGS)

# Runs the last release and the working tree on the same inputs and
# compares everything they print and write (tools/diffcheck.py).
diffcheck: deps
	python3 tools/diffcheck.py $(DIFFCHECK_FLAGS)

PREFIX ?= /usr/local
install: $(BUILD)/bprep2
	cmake --install $(BUILD) --prefix $(PREFIX)

WINDOWS_BUILD ?= build-windows
# The 64-bit Windows console program, cross-compiled with MinGW-w64.
windows:
	@command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 || { [ "$$(id -u)" = 0 ] && apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq g++-mingw-w64-x86-64; }
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DBPREP2_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD) --target bprep2 -j $(JOBS)

# Every end-to-end case against bprep2.exe under Wine.
windows-test: windows test-build
	@command -v wine >/dev/null 2>&1 || { [ "$$(id -u)" = 0 ] && apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine64 wine; }
	@# A new Wine prefix prints its set-up messages once; make it before the cases run.
	WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
	@# One Wine server for all the cases, not one starting while the last shuts down.
	wineserver -p; status=0; \
	WINEDEBUG=-all BPREP2_TEST_EXE=$(abspath $(WINDOWS_BUILD))/bprep2.exe BPREP2_TEST_WRAPPER=wine \
	  BPREP2_TEST_PLATFORM=windows $(BUILD)/bprep2_tests --gtest_filter='Cases/*' || status=$$?; \
	wineserver -k; exit $$status

test-build: deps $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz $(WINDOWS_BUILD)

.PHONY: FORCE
FORCE:

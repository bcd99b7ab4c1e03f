# The two commands a new user types: `make test` and `make run`. Both set up everything
# they need on a Debian machine first (packages, build, Wine prefix).
BUILD      ?= build
BUILD_ABS  := $(abspath $(BUILD))
JOBS       ?= 2
NATIVE     := $(BUILD)/native
FUZZ_SECONDS ?= 60
MAKEFLAGS  += --no-print-directory

export WINEPREFIX       := $(BUILD_ABS)/wineprefix
export WINEDEBUG        := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
# Wine reads Unix file names in the locale's character set: in a UTF-8 locale a name outside
# the ANSI code page reaches the program as Windows would hand it over.
export LC_ALL           := C.UTF-8

.PHONY: all deps native configure build prefix test fuzz bench run clean

all: build

deps:
	@tools/ensure-deps.sh

# The engine's pure code built for Linux with clang under AddressSanitizer and UBSan
# (tests/fuzz). The MinGW build's ctest runs its programs directly, without Wine.
native: deps
	@cmake -S tests/fuzz -B $(NATIVE) -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

configure: deps native
	@cmake --no-warn-unused-cli -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	       -DKADREL_NATIVE_DIR=$(abspath $(NATIVE)) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

prefix: deps
	@tools/boot-prefix.sh

test: build prefix
	@wineserver -k 2>/dev/null || true
	@tools/with-display.sh ctest --test-dir $(BUILD) --output-on-failure; \
	 status=$$?; wineserver -k 2>/dev/null || true; exit $$status

# Fuzzes for FUZZ_SECONDS, starting from the checked-in seeds and what earlier runs kept in
# $(NATIVE)/fuzz-corpus. Any finding fails the target and is saved in $(NATIVE)/findings.
fuzz: native
	@mkdir -p $(NATIVE)/fuzz-corpus $(NATIVE)/findings
	@$(NATIVE)/engine_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 \
	    -print_final_stats=1 -artifact_prefix=$(NATIVE)/findings/ \
	    $(NATIVE)/fuzz-corpus tests/fuzz/corpus || \
	 { echo "Finding saved in $(NATIVE)/findings; reproduce it with $(NATIVE)/engine_replay FILE" >&2; \
	   exit 1; }

# Search speed next to the platform's own cost; see the README. Takes a few minutes.
bench: build prefix
	@wineserver -k 2>/dev/null || true
	@tools/with-display.sh python3 tools/bench.py $(BUILD); \
	 status=$$?; wineserver -k 2>/dev/null || true; exit $$status

run:
	@if [ -z "$$DISPLAY" ]; then echo "make run needs a display: DISPLAY is not set." >&2; exit 1; fi
	@$(MAKE) --no-print-directory build prefix
	wine $(BUILD)/KadrelSearch.exe

clean:
	rm -rf $(BUILD)

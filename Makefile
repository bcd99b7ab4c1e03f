# The two commands a new user types: `make test` and `make run`. Both set up everything
# they need on a Debian machine first (packages, build, Wine prefix).
BUILD      ?= build
BUILD_ABS  := $(abspath $(BUILD))
JOBS       ?= 2
MAKEFLAGS  += --no-print-directory

export WINEPREFIX       := $(BUILD_ABS)/wineprefix
export WINEDEBUG        := -all
export WINEDLLOVERRIDES := mscoree,mshtml=

.PHONY: all deps configure build prefix test bench run clean

all: build

deps:
	@tools/ensure-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

prefix: deps
	@tools/boot-prefix.sh

test: build prefix
	@wineserver -k 2>/dev/null || true
	@tools/with-display.sh ctest --test-dir $(BUILD) --output-on-failure; \
	 status=$$?; wineserver -k 2>/dev/null || true; exit $$status

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

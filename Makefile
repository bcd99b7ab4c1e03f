# The two commands a new user types: `make test` and `make run`. Both set up everything
# they need on a Debian machine first (packages, build, Wine prefix).
BUILD      ?= build
BUILD_ABS  := $(abspath $(BUILD))
JOBS       ?= 2
NATIVE     := $(BUILD)/native
FUZZ_SECONDS ?= 60
SEED       ?= 1
BUDGET     ?= 30
MAKEFLAGS  += --no-print-directory

export WINEPREFIX       := $(BUILD_ABS)/wineprefix
export WINEDEBUG        := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
# Wine reads Unix file names in the locale's character set: in a UTF-8 locale a name outside
# the ANSI code page reaches the program as Windows would hand it over.
export LC_ALL           := C.UTF-8

DIST_BUILD := $(BUILD)/dist-build
# What the release is made of: the release the tests try is made again only when one of these
# is newer than its checksums, the last file make dist writes.
DIST_INPUTS := $(shell git ls-files app dialogs panel platform search match text resources cmake \
                 CMakeLists.txt README.md tools/make-dist.py tools/msi_package.py tools/KadrelSearch.wxs 2>/dev/null)
DIST_STAMP := dist/SHA256SUMS

.PHONY: all deps native configure build test-build prefix dist test format format-check fuzz bench mutate run clean

all: build

deps:
	@tools/ensure-deps.sh

# The engine's pure code built for Linux with clang under AddressSanitizer and UBSan
# (fuzz/). The MinGW build's ctest runs its programs directly, without Wine, and once the
# tests have configured it, building the MinGW build builds this one too.
native: deps
	@cmake -S fuzz -B $(NATIVE) -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

configure: deps
	@cmake --no-warn-unused-cli -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The build the tests run: the program's, with the native sanitizer build beside it.
test-build: deps native
	@cmake --no-warn-unused-cli -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	       -DKADREL_NATIVE_DIR=$(abspath $(NATIVE)) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

prefix: deps
	@tools/boot-prefix.sh

# The release: the program built again from a fresh configuration, packed with a README for
# users and checksums into dist/KadrelSearch-<version>-win64.zip and into the installer
# dist/KadrelSearch-<version>-win64.msi, the same bytes every time.
dist: deps
	@rm -rf $(DIST_BUILD)
	@cmake --no-warn-unused-cli -S . -B $(DIST_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	       -DKADREL_BUILD_TESTS=OFF -DKADREL_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(DIST_BUILD) -j $(JOBS) --target KadrelSearch
	@python3 tools/make-dist.py $(DIST_BUILD)/KadrelSearch.exe dist

$(DIST_STAMP): $(DIST_INPUTS)
	@$(MAKE) dist

# The release zip and the installer are tried as shipped, next to the tests of the build.
test: test-build prefix $(DIST_STAMP)
	@wineserver -k 2>/dev/null || true
	@tools/with-display.sh ctest --test-dir $(BUILD) --output-on-failure; \
	 status=$$?; wineserver -k 2>/dev/null || true; exit $$status

# The C++ sources in the layout .clang-format describes: format rewrites them, format-check
# (run by CI) fails on any file that format would change.
format: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

# It also checks the layers (tools/check-layers.py): each folder includes only those below it.
format-check: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror && echo "Formatting: every file as .clang-format lays it out."
	@python3 tools/check-layers.py

# Fuzzes each target for FUZZ_SECONDS, starting from the checked-in seeds and what earlier runs
# kept in $(NATIVE)/*-corpus: the engine's pure code; the reader of Word documents from the test
# documents and the ones word_seeds builds, where no single allocation may pass 64 MB (the
# reader holds a few times an input's size); the readers of rich text and web pages, under the
# same limit. Any finding fails the target and is saved in $(NATIVE)/findings.
fuzz: native
	@mkdir -p $(NATIVE)/fuzz-corpus $(NATIVE)/word-fuzz-corpus $(NATIVE)/rtf-fuzz-corpus $(NATIVE)/htm-fuzz-corpus $(NATIVE)/word-seeds $(NATIVE)/findings
	@$(NATIVE)/word_seeds $(NATIVE)/word-seeds
	@$(NATIVE)/engine_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 \
	    -print_final_stats=1 -artifact_prefix=$(NATIVE)/findings/ \
	    $(NATIVE)/fuzz-corpus fuzz/corpus || \
	 { echo "Finding saved in $(NATIVE)/findings; reproduce it with $(NATIVE)/engine_replay FILE" >&2; \
	   exit 1; }
	@$(NATIVE)/word_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=24576 -timeout=10 -malloc_limit_mb=64 \
	    -print_final_stats=1 -artifact_prefix=$(NATIVE)/findings/word- \
	    $(NATIVE)/word-fuzz-corpus tests/data/word $(NATIVE)/word-seeds || \
	 { echo "Finding saved in $(NATIVE)/findings; reproduce it with $(NATIVE)/word_replay FILE" >&2; \
	   exit 1; }
	@$(NATIVE)/rich_text_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 -malloc_limit_mb=64 \
	    -print_final_stats=1 -artifact_prefix=$(NATIVE)/findings/rtf- \
	    $(NATIVE)/rtf-fuzz-corpus fuzz/corpus-rtf tests/data/rtf || \
	 { echo "Finding saved in $(NATIVE)/findings; reproduce it with $(NATIVE)/rich_text_replay FILE" >&2; \
	   exit 1; }
	@$(NATIVE)/web_page_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 -malloc_limit_mb=64 \
	    -print_final_stats=1 -artifact_prefix=$(NATIVE)/findings/htm- \
	    $(NATIVE)/htm-fuzz-corpus fuzz/corpus-htm tests/data/htm || \
	 { echo "Finding saved in $(NATIVE)/findings; reproduce it with $(NATIVE)/web_page_replay FILE" >&2; \
	   exit 1; }

# Search speed next to the platform's own cost; see the README. Takes a few minutes.
bench: build prefix
	@tools/ensure-deps.sh bench
	@wineserver -k 2>/dev/null || true
	@tools/with-display.sh python3 tools/bench.py $(BUILD); \
	 status=$$?; wineserver -k 2>/dev/null || true; exit $$status

# Puts sampled single faults into the program's code one at a time and says which the tests
# miss (tools/mutate.py): FILES="text/FileText.cpp panel/" to choose, BASE=rev for only the
# lines changed since rev, SEED and BUDGET (minutes). Run make test first. Not part of CI.
mutate: build prefix
	@wineserver -k 2>/dev/null || true
	@tools/with-display.sh python3 tools/mutate.py --build $(BUILD) --seed $(SEED) --budget $(BUDGET) \
	    $(if $(BASE),--base $(BASE)) $(if $(FILES),--files "$(FILES)"); \
	 status=$$?; wineserver -k 2>/dev/null || true; exit $$status

run:
	@$(MAKE) --no-print-directory build prefix
	@if [ -z "$$DISPLAY" ]; then \
	    echo "make run starts the program in a window, and there is no display here (DISPLAY is not set)." >&2; \
	    echo "The program is built: $(BUILD)/KadrelSearch.exe. To run it:" >&2; \
	    echo "  - on a Linux desktop, run make run in a terminal there;" >&2; \
	    echo "  - on Windows, run KadrelSearch.exe (make dist packs it with a README);" >&2; \
	    echo "  - without a screen, tools/screenshot.sh searches a sample folder under xvfb-run" >&2; \
	    echo "    and saves a picture of the window in docs/screenshot.png." >&2; \
	    exit 1; \
	fi
	wine $(BUILD)/KadrelSearch.exe

clean:
	rm -rf $(BUILD)

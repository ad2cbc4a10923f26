# The two front doors: `make run` converts the bundled sample table,
# `make test` builds everything and runs every test (also under sanitizers).

BUILD     ?= build
ASAN      ?= build-asan
JOBS      ?= $(shell nproc)
WERROR    ?= OFF
TABLE     ?= samples/ORDERS.DBF
SANITIZE  ?= ON
FUZZ_SECONDS ?= 60
WINDOWS   ?= build-windows
WEB       ?= build-web

# CMake's own makes inherit this: no "Entering directory" lines in what
# `make run` prints.
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build run test test-fast test-asan test-windows test-web web bench fuzz clean install package windows

all: build

deps:
	@scripts/install-deps.sh

# The normal build's configuration, for every rule that builds in $(BUILD);
# CMake only reruns what changed.
configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDBF2CSV_WERROR=$(WERROR) >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: configure
	cmake --build $(BUILD) -j $(JOBS) --target dbf2csv
	$(BUILD)/dbf2csv "$(TABLE)"

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DDBF2CSV_SANITIZE=ON -DDBF2CSV_WERROR=$(WERROR) >/dev/null
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The Windows suite (dbf2csv.exe under Wine) and the page in Chromium come
# after the Linux ones.
ifeq ($(SANITIZE),ON)
test: test-fast test-asan test-windows test-web
else
test: test-fast test-windows test-web
endif

# The page beside the native program: bench/web_bench.py after run.sh.
bench: web
	@scripts/install-deps.sh bench
	bench/run.sh
	/usr/bin/python3 bench/web_bench.py $(WEB)/site build-release/dbf2csv $${BENCH_DIR:-$${TMPDIR:-/tmp}/dbf2csv-bench}/web

# Each fuzz target for FUZZ_SECONDS (FUZZ_TARGETS="table memo_fpt" picks some).
fuzz:
	@scripts/install-deps.sh fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_TARGETS="$(FUZZ_TARGETS)" tests/fuzz/run.sh

# dbf2csv.exe for 64-bit Windows, cross-built with MinGW-w64, and the zip
# and the setup program a Windows user downloads.
windows:
	@scripts/install-deps.sh windows
	@cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DDBF2CSV_TESTS=ON -DDBF2CSV_WERROR=$(WERROR) >/dev/null
	cmake --build $(WINDOWS) -j $(JOBS) --target dbf2csv windows_zip windows_setup

# dbf2csv.exe under Wine: the end-to-end tests that apply to Windows and the
# cases only Windows has (tests/windows/run.sh).
test-windows: windows build
	cmake --build $(WINDOWS) -j $(JOBS) --target windows_test_programs
	tests/windows/run.sh $(BUILD) $(WINDOWS)

# The page in $(WEB)/site: the converter as WebAssembly, built with Debian's
# Emscripten, whose system libraries come built (its cache is read-only).
# Emscripten finds Debian's acorn only through NODE_PATH.
web:
	@scripts/install-deps.sh web
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB) -DCMAKE_BUILD_TYPE=Release \
	  -DDBF2CSV_TESTS=OFF -DDBF2CSV_QT=OFF -DDBF2CSV_WERROR=$(WERROR) >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build $(WEB) -j $(JOBS) --target dbf2csv_web

# The page in headless Chromium: every checked corpus table against the
# oracle, the options, the program's messages and code pages against the
# Linux program, and no request beyond 127.0.0.1.
test-web: web build
	/usr/bin/python3 tests/web/page_test.py $(WEB)/site $(BUILD)/dbf2csv

install: build
	cmake --install $(BUILD)

# The Debian packages dbf2csv and dbf2csv-qt, and the Windows setup
# program, in build-package/.
package: configure windows
	cmake --build $(BUILD) -j $(JOBS) --target dbf2csv dbf2csv_docs
	cpack --config $(BUILD)/CPackConfig.cmake -B $(CURDIR)/build-package
	cp $(WINDOWS)/dbf2csv-*-setup.exe $(CURDIR)/build-package/

clean:
	rm -rf $(BUILD) $(ASAN) $(WINDOWS) $(WEB) build-release build-fuzz build-package

# Vantorel: build, test and run. Every target installs missing Debian packages first.
BUILD      ?= build
ASAN_BUILD ?= build/sanitize
FUZZ_BUILD ?= build/fuzz
WIN_BUILD  ?= build/windows
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: all deps configure build package test unit-test sanitize-test fuzz-build fuzz-test fuzz run demo \
        windows windows-test format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_WERROR=ON $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The Debian package of the program folder into $(BUILD) (see README, "Mise en service").
package: build
	cd $(BUILD) && cpack -G DEB

# Every test of the normal build, then the unit tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded run of every fuzz target,
# then the Windows build's tests under Wine.
test: unit-test sanitize-test fuzz-test windows-test

unit-test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

sanitize-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVT_WERROR=ON \
	      -DVT_SANITIZE=ON -DVT_WITH_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS) -L unit

# The fuzz targets of the parsers that read the network and other programs' files, built with
# Clang and libFuzzer: only they and the libraries they reach.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	      -DVT_WERROR=ON -DVT_FUZZ=ON -DVT_WITH_GUI=OFF -DVT_WITH_TESTS=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target vt_fuzz_targets

# A fixed number of inputs per target, the same inputs every time.
fuzz-test: fuzz-build
	rm -f $(FUZZ_BUILD)/fuzz-summary.txt
	cd $(FUZZ_BUILD) && { ctest --output-on-failure -j$(JOBS) -L fuzz; status=$$?; \
	    echo "cible entrées plantages secondes"; cat fuzz-summary.txt; exit $$status; }

# FUZZ_SECONDS per target on a corpus that grows from run to run; an input that crashes a
# target is kept in $(FUZZ_BUILD)/crashes and named in the output.
fuzz: fuzz-build
	rm -f $(FUZZ_BUILD)/fuzz-summary.txt
	cd $(FUZZ_BUILD) && { VT_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --output-on-failure -j$(JOBS) \
	    -L fuzz --timeout $$(( $(FUZZ_SECONDS) + 120 )); status=$$?; \
	    echo "cible entrées plantages secondes"; cat fuzz-summary.txt; exit $$status; }

# The platform layer, the console tools and their tests for Windows, cross-built with
# mingw-w64 (see README, "Windows").
windows: deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	      -DCMAKE_BUILD_TYPE=Release -DVT_WERROR=ON -DVT_WITH_GUI=OFF
	cmake --build $(WIN_BUILD) -j$(JOBS) --target vt_echo vt_cmd wolcmd vt_arpsift vt_windows_tests

windows-test: windows
	scripts/windows-test $(WIN_BUILD)

run: build
	cd $(BUILD)/bin && ./Vantorel

# The simulated school network and Vantorel on it (root): see README, "Démonstration".
demo: build
	scripts/demo $(BUILD)

format:
	find platform core power discovery status qt mainwindow dialogs tools tests \
	     -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)

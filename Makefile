# Vantorel: build, test and run. Every target installs missing Debian packages first.
BUILD      ?= build
ASAN_BUILD ?= build/sanitize
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: all deps configure build test unit-test sanitize-test run demo format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_WERROR=ON $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Every test of the normal build, then the unit tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: unit-test sanitize-test

unit-test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

sanitize-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVT_WERROR=ON \
	      -DVT_SANITIZE=ON -DVT_WITH_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS) -L unit

run: build
	cd $(BUILD)/bin && ./Vantorel

# The simulated school network and Vantorel on it (root): see README, "Démonstration".
demo: build
	scripts/demo $(BUILD)

format:
	find platform core power discovery status mainwindow dialogs tools tests \
	     -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)

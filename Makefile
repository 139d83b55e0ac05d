# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo

.PHONY: deps build run test test-asan test-tsan fuzz bench clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# Configures a new build folder only: the build runs CMake again itself when a CMakeLists.txt changed. Builds only
# what the demo runs (the program with its pack, the demo server with its data), not the tests.
run: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target classroom courseware-server
	@scripts/run-demo.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 300

test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DENABLE_ASAN=ON >/dev/null
	@cmake --build build-asan -j$(JOBS)
	@# The movie tests count frames shown in real time, which the sanitizers slow too much, and the checks of the
	@# generated files run scripts only: normal build only.
	@cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j$(JOBS) --timeout 600 \
		-E '^(VideoTest\.|Demo\.PackagesMatch|Assets\.Match)'

# The programs whose tests run extraction, downloads, sound and movies on other threads, under ThreadSanitizer.
# Each runs whole; the killed update forks a child that starts threads, which ThreadSanitizer cannot follow: it is
# left to the other builds. The movie tests run here too (their frame counts are checked in the normal build only).
TSAN_AREAS = net network audio lesson e2e

test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_TSAN=ON >/dev/null
	@cmake --build build-tsan -j$(JOBS) --target $(addsuffix _tests,$(TSAN_AREAS))
	@cd build-tsan && TSAN_OPTIONS="second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
		GTEST_FILTER='-UnzipQueue.KilledUpdate*' ctest --output-on-failure -j$(JOBS) \
		-R '^($(subst $(eval) ,|,$(TSAN_AREAS)))_tests\.Whole$$'

# The libFuzzer targets of tests/fuzz, built with clang and ASan/UBSan in build-fuzz, each run FUZZ_SECONDS.
FUZZ_SECONDS ?= 300

fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_FUZZ=ON -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build-fuzz -j$(JOBS) --target fuzz_targets
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzz.sh build-fuzz

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz

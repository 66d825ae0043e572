# Thin wrapper over CMake. `make test` and `make run` set up a fresh Debian 12 machine themselves.
BUILD       ?= build
ASAN_BUILD  ?= build-asan
TSAN_BUILD  ?= build-tsan
BENCH_BUILD ?= build-bench
FUZZ_BUILD  ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS        ?= 2
CTEST_FLAGS ?= --output-on-failure
# ccache (when present) then reuses objects between clones of the tree, as it hashes paths relative to it.
export CCACHE_BASEDIR ?= $(CURDIR)

.PHONY: all deps configure build test test-main test-asan test-tsan bench fuzz format run demo deb clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest $(CTEST_FLAGS) -j$(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-tsan

# The Qt-free libraries and their tests once more under AddressSanitizer + UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLORY_SANITIZE=ON -DQUILLORY_WITH_QT=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest $(CTEST_FLAGS) -j$(JOBS)

# The tests whose code runs on several threads (label "threads") under ThreadSanitizer.
TSAN_TARGETS = foundation_tests tasks_tests web_tests app_core_tests
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_TSAN=ON -DQUILLORY_WITH_QT=OFF
	cmake --build $(TSAN_BUILD) -j$(JOBS) --target $(TSAN_TARGETS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest $(CTEST_FLAGS) -j$(JOBS) -L threads

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLORY_BENCH=ON -DQUILLORY_TESTS=OFF -DQUILLORY_WITH_QT=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	cmake --build $(BENCH_BUILD) --target run-benchmarks

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_FUZZ=ON -DQUILLORY_WITH_QT=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzzers $(FUZZ_BUILD)

# Builds and starts Quillory with the user's own settings and data.
run: build
	$(BUILD)/src/app/quillory

# Quillory against local demo quote pages, with a throw-away profile: quotes, colours and an
# alert within seconds, without touching the user's own settings or data.
demo: build
	tests/smoke/demo.sh $(BUILD)/src/app/quillory $(CURDIR)

# quillory_<version>_amd64.deb from the main build (binaries stripped by cpack); install it with
# `sudo apt install ./quillory_*.deb`.
deb: build
	rm -f $(BUILD)/package/quillory_*.deb
	cd $(BUILD) && cpack -G DEB -B package
	cp $(BUILD)/package/quillory_*_amd64.deb .

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)

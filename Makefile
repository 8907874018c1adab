# Build, run and test terrarium and vivarium.
BUILD      ?= build
ASAN_BUILD ?= build-asan
COV_BUILD  ?= build-coverage
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
FUZZ_TIME  ?= 60
FUZZ_TARGETS = fuzz_options fuzz_edit_answers fuzz_vivarium_answers fuzz_log_reader fuzz_world_reader

.PHONY: all deps configure build run run-vivarium test test-normal test-asan coverage bench fuzz package install clean

all: build

# Installs the missing packages of one need (as root), or says which to
# install: `run` what building and running take, the others add their tools.
deps:
	@bash tools/install-deps.sh run

# Configured every time (cheap once the cache exists), so that CMAKE_FLAGS
# takes effect on an existing build folder; the build type is CMake's default.
configure:
	cmake -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target terrarium
	$(BUILD)/terrarium/terrarium

run-vivarium: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target vivarium
	$(BUILD)/vivarium/vivarium

test:
	@bash tools/install-deps.sh test
	$(MAKE) test-normal test-asan CMAKE_FLAGS="-DBUILD_TESTING=ON $(CMAKE_FLAGS)"

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -LE nosan

# Line and branch coverage of the code by the whole suite.
coverage:
	@bash tools/install-deps.sh coverage
	cmake -S . -B $(COV_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCOVERAGE=ON -DBUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(COV_BUILD) -j $(JOBS)
	find $(COV_BUILD) -name '*.gcda' -delete
	cd $(COV_BUILD) && ctest -j $(JOBS) > /dev/null || true
	gcovr -r . --object-directory $(COV_BUILD) --exclude-throw-branches \
	  --filter 'common/' --filter 'terrarium/' --filter 'vivarium/' --filter 'tools/' --print-summary | tail -3

bench:
	@bash tools/install-deps.sh bench
	$(MAKE) build CMAKE_FLAGS="-DBUILD_BENCH=ON $(CMAKE_FLAGS)"
	./$(BUILD)/bench/benchmarks
	@if ls $(BUILD)/terrarium.*.so > /dev/null 2>&1; then /usr/bin/python3 bench/python_bench.py $(BUILD); fi

# A clang build with libFuzzer, ASan and UBSan; each target runs for
# FUZZ_TIME seconds from its checked-in corpus (new inputs stay in the
# build folder).
fuzz:
	@bash tools/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON \
	  -DBUILD_FUZZ=ON -DBUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t && \
	  $(FUZZ_BUILD)/tests/fuzz/$$t -max_total_time=$(FUZZ_TIME) -timeout=10 -print_final_stats=1 \
	    $(FUZZ_BUILD)/corpus/$$t tests/fuzz/corpus/$$t || exit 1; \
	done

# Honours DESTDIR, as packagers expect: make install DESTDIR=/tmp/root
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian packages (.deb), terrarium and python3-terrarium, in their own
# build folder, installing under /usr: only what they ship is built, with the
# hardening flags of Debian's packages (read from dpkg-buildflags, bindnow
# included).
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package:
	@bash tools/install-deps.sh package
	cmake -S . -B $(PACKAGE_BUILD) -DBUILD_TESTING=OFF -DBUILD_BENCH=OFF -DBUILD_TOOLS=ON -DBUILD_PYTHON=ON \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  -DCMAKE_MODULE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(COV_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)

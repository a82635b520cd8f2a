# make run  - install what is missing, build, start the program
# make test - install what is missing, build, run every test (also under ASan + UBSan)
# make install PREFIX=DIR - install the program (default /usr/local)
# make package - build fretlore_<version>_amd64.deb in build/release
# make fuzz [FUZZ_SECONDS=N] - run every fuzz target for N seconds (default 60)
# make soak [SOAK_SECONDS=N] - random input against the program for N seconds (default 3600)
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: run test deps build build-all build-ci build-asan test-ci test-asan bench format clean \
        install package fuzz fuzz-merge soak

run: deps build
	./build/release/app/fretlore $(ARGS)

test: deps test-ci test-asan

deps:
	@./scripts/install-deps.sh

# The program and what it needs at run time (resources, the strings' instruments) only.
build:
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) --target fretlore

build-all:
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

build-ci:
	@cmake --preset ci >/dev/null
	@cmake --build --preset ci -j $(JOBS)

build-asan:
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)

test-ci: build-ci
	ctest --preset ci -j $(JOBS)

test-asan: build-asan
	ctest --preset asan -j $(JOBS)

test-tsan:
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS) -L threads

bench: deps build-all
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

install: deps build
	cmake --install build/release --prefix $(PREFIX)

package: deps build
	cd build/release && cpack
	@ls build/release/fretlore_*_amd64.deb

SOAK_SECONDS ?= 3600
soak: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) --target fretlore_soak
	build/release/tests/soak/fretlore_soak --seconds $(SOAK_SECONDS)

FUZZ_SECONDS ?= 60
FUZZ_TARGETS = sequence settings script command_line patch recording

# Each target starts from the kept corpus and keeps what it finds in build/fuzz/found/.
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/found/$$t; \
	  echo "== $$t"; \
	  build/fuzz/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
	    build/fuzz/found/$$t tests/fuzz/corpus/$$t 2>&1 | grep -E '^stat::number_of_executed_units|ERROR|SUMMARY|Done' || exit 1; \
	done

# Keeps in the repository only those inputs found that reach code the kept corpus does not.
fuzz-merge:
	@for t in $(FUZZ_TARGETS); do \
	  build/fuzz/tests/fuzz/fuzz_$$t -merge=1 tests/fuzz/corpus/$$t build/fuzz/found/$$t 2>&1 | tail -1; \
	done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

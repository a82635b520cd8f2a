# make run  - install what is missing, build, start the program
# make test - install what is missing, build, run every test (also under ASan + UBSan)
# make install PREFIX=DIR - install the program (default /usr/local)
# make package - build fretlore_<version>_amd64.deb in build/release
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: run test deps build build-all build-ci build-asan test-ci test-asan bench format clean \
        install package

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

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

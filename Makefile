# The two commands a fresh Debian 12 machine needs: `make run` and `make test`.
.PHONY: all deps build run test test-default test-sanitize check-markers format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

# The program folder is the executable's folder: build/default/bin.
run: build
	./build/default/bin/kelvarin

test-default: deps
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# A tracked file with merge-conflict markers fails the tests before anything is built.
check-markers:
	@scripts/check-conflict-markers.sh

test: check-markers test-default test-sanitize

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

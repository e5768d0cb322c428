# The two commands a fresh Debian 12 machine needs: `make run` and `make test`.
.PHONY: all deps build run test test-default test-sanitize check-markers format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

# The program folder is the executable's folder. `make run` starts a copy of the fresh build in
# program/, outside build/, so that the Data folder, TRANS.DAT, QEL.INI, the COMn links and the
# master files kept there survive `make clean` and rebuilds. The copy is renamed into place, so
# a copy that is still running does not stop the replacement.
PROGRAM_FOLDER := program

# Only the program itself is built here: the tests and benchmarks are `make test`'s.
run: deps
	cmake --preset default
	cmake --build --preset default --target kelvarin
	mkdir -p $(PROGRAM_FOLDER)
	cp build/default/bin/kelvarin $(PROGRAM_FOLDER)/.kelvarin.new
	mv -f $(PROGRAM_FOLDER)/.kelvarin.new $(PROGRAM_FOLDER)/kelvarin
	./$(PROGRAM_FOLDER)/kelvarin

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

# Only the build: program/ holds the user's files.
clean:
	rm -rf build

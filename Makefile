# make run  - install what is missing, build, run NICSHOW under Wine (ARGS="/A" for switches)
# make test - install what is missing, build both builds, run every test
BUILD ?= build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
JOBS ?= $(shell nproc)
ARGS ?=

.PHONY: all deps native win32 run test unit e2e clean

all: native win32

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

run: win32
	@bash scripts/run-nicshow.sh $(ARGS)

unit: native
	cd $(NATIVE) && ctest --output-on-failure

e2e: win32
	cd $(WIN32) && ctest --output-on-failure

test: native win32
	cd $(NATIVE) && ctest --output-on-failure
	cd $(WIN32) && ctest --output-on-failure

clean:
	rm -rf $(BUILD)

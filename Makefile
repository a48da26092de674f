# make run  - install what is missing, build, run NICSHOW under Wine (ARGS="/A" for switches;
#             the x64 build, ARCH=x86 for the 32-bit one)
# make test - install what is missing, build all builds, run every test
# make dist - the release package dist/nicshow-$(VERSION).zip
SHELL := /bin/bash
BUILD ?= build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
WIN64 := $(BUILD)/win64
VERSION := 0.95.2
JOBS ?= $(shell nproc)
ASAN := $(BUILD)/asan
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS ?= 300
FUZZ_SMOKE_SECONDS ?= 5
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QUIET_CMAKE := -DCMAKE_RULE_MESSAGES=OFF
ARGS ?=
ARCH ?= x64
ifeq ($(ARCH),x64)
RUN_BUILD := win64
else ifeq ($(ARCH),x86)
RUN_BUILD := win32
else
$(error ARCH is x64 or x86, not "$(ARCH)")
endif

.PHONY: all deps deps-check native win32 win64 run run-check test unit e2e clean asan memcheck fuzz-build fuzz \
	fuzz-smoke dist dist-check pictures

all: native win32 win64

# The packages this make's goals use (scripts/install-deps.sh --for): a run, a Windows build
# or the native build alone asks only for its own, so that make run (the x64 build) does
# not wait on 32-bit Wine; every other goal (all, test, ...) asks for everything. A make
# that another make started with DEPS= (test's e2e) leaves it to that one.
DEPS_native := native
DEPS_unit := native
DEPS_win32 := x86
DEPS_win64 := x64
DEPS_run := $(ARCH)-run
GOALS := $(or $(MAKECMDGOALS),all)
DEPS := $(if $(filter-out native unit win32 win64 run,$(GOALS)),all,$(sort $(foreach g,$(GOALS),$(DEPS_$(g)))))
INSTALL_DEPS = NICSHOW_BUILD=$(BUILD) bash scripts/install-deps.sh

deps:
	@$(if $(DEPS),$(INSTALL_DEPS) --for $(DEPS),:)

# install-deps.sh against stand-ins for apt-get and dpkg, and what each goal asks it for.
deps-check: deps
	@/usr/bin/python3 tests/deps/check_install_deps.py

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug $(QUIET_CMAKE) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) -- --no-print-directory

# The two Windows builds, one CMake description, a toolchain file each (and a target,
# when only one is wanted). A first build takes a minute of CPU time, 2 minutes measured
# on a busy machine of 2 CPUs, without a word from make until its end.
CROSS = { [ -f $(1)/CMakeCache.txt ] || echo "building $(1) for the first time: about 2 minutes" >&2; } && \
	cmake -S . -B $(1) --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake \
		-DCMAKE_BUILD_TYPE=Release $(QUIET_CMAKE) >/dev/null && \
	cmake --build $(1) -j $(JOBS) $(if $(3),--target $(3)) -- --no-print-directory

# make run ARCH=x86 says whether the x86 build can run here before it is built, not two
# minutes later; make run of the x64 build asks nothing more.
RUN_CHECK := $(if $(and $(filter run,$(GOALS)),$(filter x86,$(ARCH))),run-check)

run-check: deps
	@NICSHOW_ARCH=x86 NICSHOW_BIN=$(WIN32)/bin bash scripts/run-nicshow.sh --check

win32: deps $(RUN_CHECK)
	@$(call CROSS,$(WIN32),i686-w64-mingw32)

win64: deps
	@$(call CROSS,$(WIN64),x86_64-w64-mingw32)

run: $(RUN_BUILD)
	@NICSHOW_BIN=$(BUILD)/$(RUN_BUILD)/bin bash scripts/run-nicshow.sh $(ARGS)

unit: native
	cd $(NATIVE) && ctest --output-on-failure

# Every script of both builds runs and the summary is said before a failure stops make.
e2e: win32 win64
	@rm -f $(WIN32)/e2e-results.txt $(WIN64)/e2e-results.txt
	@rc=0; \
	for dir in $(WIN64) $(WIN32); do \
		echo "cd $$dir && ctest --output-on-failure"; \
		(cd $$dir && ctest --output-on-failure) || rc=1; \
	done; \
	bash scripts/e2e-summary.sh $(WIN64) $(WIN32); \
	exit $$rc

# The unit suite under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan).
asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DNICSHOW_SANITIZE=ON $(QUIET_CMAKE) >/dev/null
	@cmake --build $(ASAN) -j $(JOBS) -- --no-print-directory
	@echo "asan: unit tests under ASan and UBSan"
	@cd $(ASAN) && $(SANITIZER_ENV) ./unit_tests --gtest_brief=1

# The unit suite under valgrind memcheck (about half a minute so far, so test runs it too).
memcheck: native
	@echo "memcheck: unit tests under valgrind"
	@cd $(NATIVE) && valgrind -q --error-exitcode=99 --leak-check=full \
		--errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
		./unit_tests --gtest_brief=1

# The libFuzzer targets of fuzz/, built with clang (build/fuzz). make fuzz runs each for
# FUZZ_SECONDS; make test runs each for FUZZ_SMOKE_SECONDS and fails on any finding.
fuzz-build: deps
	@cmake -S . -B $(FUZZ) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DNICSHOW_FUZZ=ON $(QUIET_CMAKE) >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) --target fuzzers -- --no-print-directory

fuzz: fuzz-build
	@bash fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	@FUZZ_SEED=1 bash fuzz/run.sh $(FUZZ) $(FUZZ_SMOKE_SECONDS)

# The release package: both DLLs stripped, the installation note, their sums. The same
# commit gives the same bytes: the build time is the last commit's (SOURCE_DATE_EPOCH).
# The plug-ins are built in folders of their own, not in $(WIN32) and $(WIN64): the stamp
# follows the environment of each build, so a shared folder would hold the commit time
# after a release until the next ordinary build, and an ordinary build made as this
# target's prerequisite would put the current time into the release.
DIST_BUILD := $(BUILD)/dist
COMMIT_TIME = git log -1 --format=%ct

dist: deps
	@SOURCE_DATE_EPOCH=$$($(COMMIT_TIME)) || { echo "make dist: no git commit here to take the release time from" >&2; exit 2; }; \
	export SOURCE_DATE_EPOCH; \
	[ -z "$$(git status --porcelain --untracked-files=no)" ] || \
		echo "make dist: uncommitted changes: this package is not the last commit's" >&2; \
	$(call CROSS,$(DIST_BUILD)/win32,i686-w64-mingw32,nicshow) && \
	$(call CROSS,$(DIST_BUILD)/win64,x86_64-w64-mingw32,nicshow) && \
	bash scripts/dist.sh $(VERSION) $(DIST_BUILD)/win32/bin $(DIST_BUILD)/win64/bin dist

dist-check: dist
	@/usr/bin/python3 tests/dll/check_dist.py dist/nicshow-$(VERSION).zip $(VERSION) \
		$$($(COMMIT_TIME)) | grep -v '^ok: '; exit $${PIPESTATUS[0]}

test: deps-check native win32 win64 asan memcheck fuzz-smoke dist-check
	cd $(NATIVE) && ctest --output-on-failure
	@$(MAKE) --no-print-directory e2e DEPS=

# Benchmarks, not part of test: the run in process on simulated machines of 1 to 10,000
# adapters (a Release build in $(BUILD)/bench), then under Wine on test hosts in network
# namespaces, each build that runs here: the command in a loaded host beside the floor
# program and ipconfig /all, and the whole processes of a cold start; plotted with
# matplotlib, installed for this target only. docs/performance.md holds the method and
# the figures.
BENCH := $(BUILD)/bench
BENCH_REPETITIONS ?= 5
.PHONY: bench bench-native bench-wine

MACHINE = echo "machine: $$(nproc) CPUs, $$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)," \
	"$$(/usr/lib/wine/wine64 --version 2>/dev/null), load average $$(cut -d' ' -f1-3 /proc/loadavg)"

bench: bench-native bench-wine
	@$(MACHINE)
	@echo "reproduce: make bench BUILD=$(BUILD)   (RUNS=n REPEAT=n PAIRS=\"1 25 250\" for the Wine part)"

bench-native: deps
	@$(MACHINE)
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release $(QUIET_CMAKE) >/dev/null
	@cmake --build $(BENCH) -j $(JOBS) --target bench_run -- --no-print-directory
	@$(BENCH)/bench_run --benchmark_repetitions=$(BENCH_REPETITIONS) \
		--benchmark_report_aggregates_only=true --benchmark_out=$(BENCH)/bench_run.json \
		--benchmark_out_format=json >$(BENCH)/bench_run.txt
	@python3 bench/summary.py $(BENCH)/bench_run.json

# Without matplotlib only the plots are missing (install-deps' exit code 1), which
# bench-wine.sh says itself.
bench-wine: win32 win64
	@$(INSTALL_DEPS) python3-matplotlib || [ $$? -eq 1 ]
	@$(MACHINE)
	@bash scripts/bench-wine.sh $(WIN64)/bin $(WIN32)/bin || [ $$? -eq 77 ]

# The README's pictures (docs/images) from real runs of the x64 build in a terminal on a
# test host (root); ansilove, which draws them, is installed for this target only.
pictures: win64
	@$(INSTALL_DEPS) ansilove
	@bash scripts/pictures.sh $(WIN64)/bin docs/images

clean:
	rm -rf $(BUILD) dist

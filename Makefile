# The README's commands. Every target installs what it is missing first
# (tools/bootstrap.sh with the package sets it names: apt, as root or
# through sudo, idempotent) and fetches GLFW's source on the first
# configure.
#
# Two native builds: build/linux-user is a person's build (the program and
# its package, no tests, warnings only reported), build/linux the
# developer's (tests and bench, warnings are errors). Each is incremental,
# so alternating `make run` and `make test` rebuilds neither.
#
#   make run       build the Linux program (build/linux-user) and run the
#                  clock on $DISPLAY; without a display, on a virtual one
#                  for a few seconds, saving a picture of it
#   make test      build both targets and the Windows installer, run every
#                  test (Xvfb, Wine, sound servers are started and stopped
#                  by the tests themselves), then a short run of each fuzzer,
#                  then the release tests (a second build compared byte for
#                  byte, a signed release)
#   make windows   build build/windows/src/host/Tolvane.scr
#   make install   install the Linux program (in libexec/xscreensaver, linked
#                  from bin), its xscreensaver hack description, its
#                  screensaver entry for MATE and XFCE and its manual page
#                  (PREFIX, default /usr/local; DESTDIR is honoured)
#   make package   build the Debian package build/linux-user/tolvane-screensaver_*.deb
#   make installer build the Windows installer build/windows/Tolvane-Setup-*.exe
#   make release   from the committed tree, the files people download in
#                  build/release/ with SHA256SUMS and the tools' versions;
#                  signed with TOLVANE_SIGN_CERT and TOLVANE_SIGN_KEY, or with
#                  the published signatures in TOLVANE_SIGNATURES attached
#                  (tools/release.sh; the README's "Checking a release")
#   make picture   remake the README's pictures docs/clock.png and docs/flip.gif
#                  (Xvfb, faked time)
#   make asan      build and run the unit, GL and native end-to-end tests
#                  with ASan/UBSan (the end-to-end tests drive the sanitizer
#                  build of the real program)
#   make fuzz      build the fuzz targets and run each for a short while
#   make fuzz-long run every fuzz target for FUZZ_SECONDS (default 3600)
#                  on JOBS cores, one after the other; a crash stops it
#   make bench     start-up, cost and memory figures of the native program
#                  under Xvfb, against a reference that draws every frame
#   make format    clang-format the sources

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 3600
ARGS ?=
PREFIX ?=
USER_BUILD := build/linux-user
USER_EXE := $(USER_BUILD)/src/host/tolvane-screensaver
BOOTSTRAP := sh tools/bootstrap.sh
# Package sets (tools/bootstrap.sh) of the developer's native build and of
# its tests.
NATIVE_TEST_SETS := build unit test package
TEST_SETS := $(NATIVE_TEST_SETS) windows wine installer release fuzz

.PHONY: bootstrap user linux windows run test asan fuzz fuzz-long bench format clean install package installer picture release

# What building and running the Linux program needs.
bootstrap:
	@$(BOOTSTRAP) build

user: bootstrap
	cmake --preset linux-user
	cmake --build --preset linux-user -j $(JOBS)

linux:
	@$(BOOTSTRAP) $(NATIVE_TEST_SETS)
	cmake --preset linux
	cmake --build --preset linux -j $(JOBS)

windows:
	@$(BOOTSTRAP) build unit windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

install: user
	cmake --install $(USER_BUILD) $(if $(PREFIX),--prefix "$(PREFIX)")

# CPack takes its folders' and archive members' modes from the umask, and the
# times in the package from SOURCE_DATE_EPOCH (the commit's, when not set).
package: user
	@$(BOOTSTRAP) package
	cd $(USER_BUILD) && umask 022 && SOURCE_DATE_EPOCH=$${SOURCE_DATE_EPOCH:-$$(git log -1 --format=%ct)} cpack -G DEB

installer: windows
	@$(BOOTSTRAP) installer
	cmake --build --preset windows --target installer

release:
	@$(BOOTSTRAP) build unit package windows installer release
	sh tools/release.sh

picture: linux
	cmake --build --preset linux -j $(JOBS) --target swap_probe
	python3 tools/readme-pictures.py --build build/linux

# Without a display: Xvfb is installed then, and only then.
run:
	@$(BOOTSTRAP) build $(if $(DISPLAY),,headless)
	cmake --preset linux-user
	cmake --build --preset linux-user -j $(JOBS) --target tolvane-screensaver
	$(if $(DISPLAY),./$(USER_EXE) $(ARGS),python3 tools/run-headless.py $(USER_BUILD)/clock.png ./$(USER_EXE) $(ARGS))

# One apt run for everything the suite needs, before the builds. The release
# tests build the release's files again: after the others, alone.
test:
	@$(BOOTSTRAP) $(TEST_SETS)
	@$(MAKE) --no-print-directory linux windows installer
	ctest --test-dir build/linux --output-on-failure -j $(JOBS) --timeout 600 -LE release
	$(MAKE) --no-print-directory fuzz
	ctest --test-dir build/linux --output-on-failure -L release

asan:
	@$(BOOTSTRAP) $(NATIVE_TEST_SETS)
	cmake --preset linux-asan
	cmake --build --preset linux-asan -j $(JOBS)
	ctest --test-dir build/linux-asan --output-on-failure -L 'unit|gl|e2e' -j $(JOBS) --timeout 600

fuzz:
	@$(BOOTSTRAP) build unit fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target tolvane_fuzzers
	ctest --test-dir build/fuzz --output-on-failure -L fuzz -j $(JOBS)

bench: linux
	cmake --build --preset linux -j $(JOBS) --target tolvane-continuous-loop swap_probe dpms_fake
	python3 bench/bench.py --build build/linux

# New inputs go to corpus-<kind>/ in the build folder; the committed seeds
# are only read. A crash is saved there as crash-<hash> (replay it with
# ./fuzz_<kind> crash-<hash>), the workers' logs as fuzz-<n>.log.
fuzz-long:
	@$(BOOTSTRAP) build unit fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target tolvane_fuzzers
	cd build/fuzz/tests/fuzz && for target in fuzz_*; do \
	    [ -x "$$target" ] && [ ! -d "$$target" ] || continue; \
	    kind=$${target#fuzz_}; \
	    echo "== $$target: $(FUZZ_SECONDS) s on $(JOBS) cores"; \
	    ./$$target -max_total_time=$(FUZZ_SECONDS) -jobs=$(JOBS) -workers=$(JOBS) -timeout=10 \
	        -print_final_stats=1 corpus-$$kind ../../../../tests/fuzz/corpus/$$kind || exit 1; \
	done

format:
	@$(BOOTSTRAP) format
	find src tests tools bench -name '*.cpp' -o -name '*.h' -o -name '*.c' | xargs clang-format -i

clean:
	rm -rf build

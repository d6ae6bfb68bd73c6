# The README's commands. Every target installs what is missing first
# (tools/bootstrap.sh: apt, as root, idempotent) and fetches GLFW's source
# on the first configure.
#
#   make run       build the Linux program and run the clock on $DISPLAY
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
#   make package   build the Debian package build/linux/tolvane-screensaver_*.deb
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
LINUX_EXE := build/linux/src/host/tolvane-screensaver

.PHONY: bootstrap linux windows run test asan fuzz fuzz-long bench format clean install package installer picture release

bootstrap:
	@sh tools/bootstrap.sh

linux: bootstrap
	cmake --preset linux
	cmake --build --preset linux -j $(JOBS)

windows: bootstrap
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

install: linux
	cmake --install build/linux $(if $(PREFIX),--prefix "$(PREFIX)")

# CPack takes its folders' and archive members' modes from the umask, and the
# times in the package from SOURCE_DATE_EPOCH (the commit's, when not set).
package: linux
	cd build/linux && umask 022 && SOURCE_DATE_EPOCH=$${SOURCE_DATE_EPOCH:-$$(git log -1 --format=%ct)} cpack -G DEB

installer: windows
	cmake --build --preset windows --target installer

release: bootstrap
	sh tools/release.sh

picture: linux
	cmake --build --preset linux -j $(JOBS) --target swap_probe
	python3 tools/readme-pictures.py --build build/linux

run: linux
	@if [ -z "$$DISPLAY" ]; then echo "make run: no DISPLAY; run it inside an X session" >&2; exit 1; fi
	./$(LINUX_EXE) $(ARGS)

# The release tests build the release's files again: after the others, alone.
test: linux windows installer
	ctest --test-dir build/linux --output-on-failure -j $(JOBS) --timeout 600 -LE release
	$(MAKE) --no-print-directory fuzz
	ctest --test-dir build/linux --output-on-failure -L release

asan: bootstrap
	cmake --preset linux-asan
	cmake --build --preset linux-asan -j $(JOBS)
	ctest --test-dir build/linux-asan --output-on-failure -L 'unit|gl|e2e' -j $(JOBS) --timeout 600

fuzz: bootstrap
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target tolvane_fuzzers
	ctest --test-dir build/fuzz --output-on-failure -L fuzz -j $(JOBS)

bench: linux
	cmake --build --preset linux -j $(JOBS) --target tolvane-continuous-loop swap_probe dpms_fake
	python3 bench/bench.py --build build/linux

# New inputs go to corpus-<kind>/ in the build folder; the committed seeds
# are only read. A crash is saved there as crash-<hash> (replay it with
# ./fuzz_<kind> crash-<hash>), the workers' logs as fuzz-<n>.log.
fuzz-long: bootstrap
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
	find src tests tools bench -name '*.cpp' -o -name '*.h' -o -name '*.c' | xargs clang-format -i

clean:
	rm -rf build

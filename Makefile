# Two commands set everything up on a fresh Debian 12 machine:
#   make run    install packages, build, start orvane on the bundled demo show
#   make test   install packages, build, run the whole suite through ctest
BUILD ?= build
JOBS ?= $(shell nproc)
# The shows' root as orvane finds it: $ORVANE_ROOT, else the profile setting
# "root", else ~/orvane.
ROOT ?= $(or $(ORVANE_ROOT),$(shell bash scripts/profile-root.sh),$(HOME)/orvane)

.PHONY: all deps configure build run test check bench tsan asan fuzz format clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Builds the program alone (not the tests), so the window comes up in minutes.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target orvane
	@mkdir -p "$(ROOT)"
	@if [ ! -e "$(ROOT)/demo" ]; then cp -r demo/demo "$(ROOT)/demo"; mkdir -p "$(ROOT)/demo/step0"; \
	    echo "make run: demo show copied to $(ROOT)/demo"; fi
	ORVANE_ROOT="$(ROOT)" $(BUILD)/orvane SHOW=demo

# Every test (labels unit, gui, process); then the skipped ones with their
# reasons, and where the files of failed tests were kept.
test: build
	@rm -rf $(BUILD)/test-artefacts
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS); status=$$?; \
	    cd $(CURDIR) && bash scripts/test-summary.sh $(BUILD); exit $$status

# The unit label alone: the libraries below the windows, in well under a minute.
check: configure
	@cmake --build $(BUILD) -j $(JOBS) --target unit_tests
	@cd $(BUILD) && ctest -L unit --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/run-bench.sh $(BUILD)

# The thread-crossing code (output tick, serial line, audio device, the remote
# side's pipes, device server and link) under ThreadSanitizer.
tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DORVANE_TSAN=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target test_dmx test_sound test_remote
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ./tests/test_dmx && \
	    SDL_AUDIODRIVER=dummy TSAN_OPTIONS=halt_on_error=1 ./tests/test_sound && \
	    TSAN_OPTIONS=halt_on_error=1 ./tests/test_remote

# The Debian package (build/orvane_<version>_<arch>.deb), its dependencies
# computed from the libraries the program links.
.PHONY: package install
package: build
	@cmake --build $(BUILD) --target package

# cmake --install into PREFIX (default /usr/local); DESTDIR stages it.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)
# The whole suite built with clang under AddressSanitizer and UBSan (out-of-range
# float conversions included); any finding fails the test that met it.
ASAN_BUILD ?= build-asan
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DORVANE_ASAN=ON -DORVANE_EXTRAS=OFF $(LAUNCHER) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# libFuzzer on every parser of outside input, FUZZ_SECONDS (default 60) each,
# from the seed corpora in fuzz/corpus; what a run finds stays in
# $(FUZZ_BUILD)/fuzz-work/<target>.
FUZZ_SECONDS ?= 60
FUZZ_BUILD ?= build-fuzz
FUZZ_TARGETS = fuzz_showfile fuzz_inifile fuzz_effectfile fuzz_wavfile fuzz_replay fuzz_extracommands fuzz_oscpacket
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DORVANE_FUZZ=ON -DBUILD_TESTING=OFF $(LAUNCHER) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@$(SANITIZER_ENV) bash scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-tsan $(ASAN_BUILD) $(FUZZ_BUILD)

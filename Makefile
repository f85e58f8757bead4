# Two commands set everything up on a fresh Debian 12 machine:
#   make run    install packages, build, start orvane on the bundled demo show
#   make test   install packages, build, run the whole suite through ctest
BUILD ?= build
JOBS ?= $(shell nproc)
# The shows' root as orvane finds it: $ORVANE_ROOT, else the profile setting
# "root", else ~/orvane.
ROOT ?= $(or $(ORVANE_ROOT),$(shell bash scripts/profile-root.sh),$(HOME)/orvane)

.PHONY: all deps configure build run test bench tsan format clean

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

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/run-bench.sh $(BUILD)

# The thread-crossing code (output tick, serial line, audio device) under
# ThreadSanitizer.
tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DORVANE_TSAN=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target test_dmx test_sound
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ./tests/test_dmx && \
	    SDL_AUDIODRIVER=dummy TSAN_OPTIONS=halt_on_error=1 ./tests/test_sound

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-tsan

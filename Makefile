# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

XVFB_NUM ?= 99
XVFB_AUTH ?= $(abspath $(BUILD_DIR))/xvfb.auth
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
FUZZERS := $(basename $(notdir $(wildcard fuzz/*.cpp)))
PREFIX ?= /usr/local

.PHONY: all deps configure build run screenshot vnc test fuzz clean program install deb

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

# Without a display the program runs under Xvfb on a fixed display with a known X authority
# file, so that `make screenshot` and `make vnc` can reach it from another shell.
run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/quillon/quillon; \
	else \
	  echo "No display: running under Xvfb on :$(XVFB_NUM) (make screenshot / make vnc to see it)"; \
	  xvfb-run -n $(XVFB_NUM) -f $(XVFB_AUTH) -s "-screen 0 1280x1024x24" \
	    $(BUILD_DIR)/quillon/quillon; \
	fi

screenshot:
	@bash scripts/install-deps.sh --view
	XAUTHORITY=$(XVFB_AUTH) DISPLAY=:$(XVFB_NUM) import -window root $(BUILD_DIR)/screenshot.png
	@echo "Wrote $(BUILD_DIR)/screenshot.png"

vnc:
	@bash scripts/install-deps.sh --view
	x11vnc -display :$(XVFB_NUM) -auth $(XVFB_AUTH) -localhost -nopw -forever -shared

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS) --timeout 300

# The program and the data it installs with it, without the tests.
program: configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target quillon

# Installs under PREFIX (bin/quillon, share/quillon/, the menu entry, icons and metainfo);
# DESTDIR stages the files elsewhere, as packagers expect.
install: program
	cmake --install $(BUILD_DIR) --prefix $(PREFIX) --strip

# The Debian package quillon_<version>_<arch>.deb, in $(BUILD_DIR).
deb: program
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/quillon_*.deb

# Builds every libFuzzer harness with clang into $(FUZZ_DIR) and runs each for FUZZ_SECONDS,
# starting from its seeds in tests/data/fuzz/; new inputs go to $(FUZZ_DIR)/corpus/, crashes to
# $(FUZZ_DIR)/.
fuzz:
	bash scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DQUILLON_BUILD_FUZZ=ON \
	  -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target $(FUZZERS)
	@set -e; for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$f; \
	  echo "== $$f for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/$$f -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_DIR)/$$f- \
	    $(FUZZ_DIR)/corpus/$$f tests/data/fuzz/$$f; \
	done

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)

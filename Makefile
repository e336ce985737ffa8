# The README's commands: `make run`, `make test`, `make test-asan` and `make fuzz`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= 2
CMAKE_FLAGS ?=

XVFB_NUM ?= 99
XVFB_AUTH ?= $(abspath $(BUILD_DIR))/xvfb.auth
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
FUZZERS := $(basename $(notdir $(wildcard fuzz/*.cpp)))
PREFIX ?= /usr/local

.PHONY: all deps configure build run screenshot vnc test test-asan fuzz fuzz-build clean program \
  install deb

# The sanitizers' settings for every program the ASan build runs (the tests, and the test lister
# and dictionary builder the build itself runs): stop at the first fault with its stack, and
# leave out only the leaks of Qt's and the system's own libraries (tests/sanitizers/lsan.supp).
# The web engine of the preview frees some of its own objects through a base class of another
# size (inside its prebuilt library, on closing a page); ASan can only turn that check off as a
# whole; in our own code -Wall (-Wdelete-non-virtual-dtor) stops the usual way to make one.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:new_delete_type_mismatch=0 \
  LSAN_OPTIONS=suppressions=$(abspath tests/sanitizers/lsan.supp):print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

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

# The core and window tests and the fuzz harnesses' replays, built with AddressSanitizer and
# UndefinedBehaviorSanitizer into $(ASAN_DIR) and run there (the window tests on the offscreen
# platform); then the fuzz harnesses built with clang, so that `make fuzz` cannot break unseen.
# -O1 with line tables only: the stacks still name file and line, and each file
# compiles in about two thirds of the time of the optimised one with full debug information.
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DQUILLON_SANITIZE=ON -DQUILLON_BUILD_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG='-O1 -g1' $(CMAKE_FLAGS)
	$(SANITIZER_ENV) cmake --build $(ASAN_DIR) -j$(JOBS) \
	  --target quillon_core_tests quillon_ui_tests $(FUZZERS)
	cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS) --timeout 600 \
	  -L '^(core|ui|replay)$$'
	$(MAKE) fuzz-build

# Every libFuzzer harness built with clang (AddressSanitizer and libFuzzer) into $(FUZZ_DIR).
fuzz-build:
	bash scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DQUILLON_BUILD_FUZZ=ON \
	  -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target $(FUZZERS)

# Runs each harness for FUZZ_SECONDS, starting from its seeds in tests/data/fuzz/; new inputs go
# to $(FUZZ_DIR)/corpus/, crashes to $(FUZZ_DIR)/.
fuzz: fuzz-build
	@set -e; for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$f; \
	  echo "== $$f for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/$$f -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_DIR)/$$f- \
	    $(FUZZ_DIR)/corpus/$$f tests/data/fuzz/$$f; \
	done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)

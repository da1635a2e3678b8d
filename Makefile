# Quick start: `make run` starts the program (or, without a display, converts
# the sample bitmap), `make test` runs every test. Each installs the Debian
# packages it needs when they are missing.

BUILD ?= build
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
PACKAGES := cmake ninja-build g++ libgtest-dev libbenchmark-dev \
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-ipafont-gothic fonts-comic-neue
BENCH_PACKAGES := $(PACKAGES) time xvfb xauth
SCREENSHOT_PACKAGES := $(PACKAGES) xvfb xauth
NGRAPH_SCREENSHOT_PACKAGES := $(SCREENSHOT_PACKAGES) ngraph-gtk xdotool imagemagick openbox

SAMPLE := samples/rastrel-sample.bmp
SAMPLE_GRA := $(BUILD)/rastrel-sample.gra

# The Ngraph round-trip tests read ngp2's pictures with libpng and run
# Ngraph-GTK itself, installed without its recommended add-ins.
PACKAGES += libpng-dev
TEST_PACKAGES := ngraph-gtk

# The fuzzers: clang's libFuzzer on the core, in a build of their own (see
# fuzz/). `make fuzz` runs each for FUZZ_SECONDS, one after another.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZERS := bmp_decoder launch_arguments number_scan conversion
FUZZ_PACKAGES := cmake ninja-build clang-14 libclang-rt-14-dev

# The whole test suite again under AddressSanitizer, leaks included, and
# UBSan; any report fails the test that caused it. A report ends the program
# with status 23, which no program of ours uses, so that a test that expects
# a converter to fail cannot mistake one for its own error.
SANITIZER_BUILD ?= build-asan
SANITIZE := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
SANITIZER_ENV := ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:exitcode=23 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=23

# Installs the packages of $(1) that are not installed yet.
define install_missing
	@missing=$$(for p in $(1); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

.PHONY: run test bench screenshot ngraph-screenshot build deps format clean \
  sanitizer-build sanitizer-test fuzz-build fuzz-test fuzz

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/app/rastrel; \
	else \
	  echo "No display here, so the window cannot open; converting the sample instead."; \
	  $(BUILD)/cli/rastrel-convert $(SAMPLE) $(SAMPLE_GRA) && \
	  echo "GRA file written to $(abspath $(SAMPLE_GRA))"; \
	fi

test: build
	$(call install_missing,$(TEST_PACKAGES))
	ctest --test-dir $(BUILD) --output-on-failure -j2
	$(MAKE) --no-print-directory sanitizer-test fuzz-test

bench: build
	$(call install_missing,$(BENCH_PACKAGES))
	$(BUILD)/bench/gra_writer_benchmark
	bench/compare-with-cp.sh $(BUILD)
	bench/malformed-bmps.sh $(BUILD)
	bench/big-picture.sh $(BUILD)

screenshot: build
	$(call install_missing,$(SCREENSHOT_PACKAGES))
	tools/take-screenshot.sh $(BUILD)

ngraph-screenshot: build
	$(call install_missing,$(NGRAPH_SCREENSHOT_PACKAGES))
	tools/take-ngraph-screenshot.sh $(BUILD)

build: deps
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD)

sanitizer-build: deps
	cmake -S . -B $(SANITIZER_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DRASTREL_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS="$(SANITIZE)"
	cmake --build $(SANITIZER_BUILD)

sanitizer-test: sanitizer-build
	$(call install_missing,$(TEST_PACKAGES))
	$(SANITIZER_ENV) ctest --test-dir $(SANITIZER_BUILD) --output-on-failure -j2

fuzz-build:
	$(call install_missing,$(FUZZ_PACKAGES))
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DRASTREL_BUILD_FUZZERS=ON -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD)

# A few seconds each, on the seeds, so that they keep building and passing.
fuzz-test: fuzz-build
	ctest --test-dir $(FUZZ_BUILD) --output-on-failure

# Each fuzzer grows its corpus in the build tree, begun as a copy of the
# seeds, which it also reads (but never writes) so that new seeds count. The
# whole log stays in $(FUZZ_BUILD)/<fuzzer>.log, and a crash's input beside it.
fuzz: fuzz-build
	@for f in $(FUZZERS); do \
	  corpus=$(FUZZ_BUILD)/corpus/$$f; log=$(FUZZ_BUILD)/$$f.log; \
	  [ -d $$corpus ] || { mkdir -p $(FUZZ_BUILD)/corpus && cp -r fuzz/corpus/$$f $$corpus; }; \
	  echo "== $$f, $(FUZZ_SECONDS) s"; \
	  if $(FUZZ_BUILD)/fuzz/$${f}_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	      -artifact_prefix=$(FUZZ_BUILD)/$$f- $$corpus fuzz/corpus/$$f >$$log 2>&1; then \
	    grep -E '^(#[0-9]+[[:space:]]+DONE|Done|stat::)' $$log; \
	  else \
	    tail -n 60 $$log; exit 1; \
	  fi; \
	done

deps:
	$(call install_missing,$(PACKAGES))

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZER_BUILD) $(FUZZ_BUILD)

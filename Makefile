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

.PHONY: run test bench screenshot ngraph-screenshot build deps format clean

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

deps:
	$(call install_missing,$(PACKAGES))

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)

# Kivo's two set-up commands: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

# Debian packages the build, the tests and the application need.
DEB_PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev \
                qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic xvfb xauth x11-apps \
                x11-utils imagemagick libx11-dev xdotool xclip \
                poppler-utils desktop-file-utils libzip-dev libexpat1-dev libpoppler-cpp-dev unzip

.PHONY: run test build configure deps clean fuzz fuzz-deps

# `make fuzz` builds the fuzzers with clang (libFuzzer, ASan, UBSan) and runs each for
# FUZZ_SECONDS from its seeds in fuzz/seeds; a crash, a leak, an input that runs longer than
# FUZZ_TIMEOUT seconds or takes more than FUZZ_RSS_MB stops it with the input saved.
FUZZ_BUILD_DIR ?= fuzz-build
FUZZ_SECONDS ?= 60
FUZZ_TIMEOUT ?= 10
FUZZ_RSS_MB ?= 2048
FUZZ_TARGETS := fuzz_split fuzz_engine fuzz_rtf fuzz_wordfile fuzz_pdf
FUZZ_PACKAGES := clang libclang-rt-14-dev

run: build
	$(BUILD_DIR)/app/kivo

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

build: configure
	cmake --build $(BUILD_DIR)

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	    cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE); \
	fi

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "Installing:$$missing"; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	    else \
	        echo "Kivo needs these Debian packages. Install them with:"; \
	        echo "  sudo apt-get install$$missing"; \
	        exit 1; \
	    fi; \
	fi

fuzz: fuzz-deps
	@if [ ! -f $(FUZZ_BUILD_DIR)/build.ninja ]; then \
	    CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	        -DKIVO_FUZZ=ON -DKIVO_GUI=OFF -DKIVO_BENCH=OFF; \
	fi
	cmake --build $(FUZZ_BUILD_DIR) --target $(FUZZ_TARGETS)
	@for target in $(FUZZ_TARGETS); do \
	    seeds=fuzz/seeds/$${target#fuzz_}; corpus=fuzz/corpus/$${target#fuzz_}; \
	    mkdir -p $$corpus; \
	    echo "== $$target: $(FUZZ_SECONDS) s from $$seeds"; \
	    leaks=1; [ $$target = fuzz_pdf ] && leaks=0; \
	    ASAN_OPTIONS=detect_leaks=$$leaks $(FUZZ_BUILD_DIR)/fuzz/$$target \
	        -max_total_time=$(FUZZ_SECONDS) -detect_leaks=$$leaks \
	        -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=$(FUZZ_RSS_MB) -print_final_stats=1 \
	        -artifact_prefix=fuzz/corpus/ $$corpus $$seeds || exit 1; \
	done

fuzz-deps: deps
	@$(MAKE) --no-print-directory deps DEB_PACKAGES="$(FUZZ_PACKAGES)"

clean:
	rm -rf $(BUILD_DIR) build-asan $(FUZZ_BUILD_DIR)

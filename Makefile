# Kivo's two set-up commands: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

# Debian packages the build, the tests and the application need.
DEB_PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev \
                qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic xvfb xauth x11-apps \
                x11-utils imagemagick libx11-dev xdotool xclip \
                poppler-utils desktop-file-utils libzip-dev libpoppler-cpp-dev

.PHONY: run test build configure deps clean

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

clean:
	rm -rf $(BUILD_DIR) build-asan

# Vantrel: `make run` builds and starts the program, `make test` runs the suite headless.
PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev \
            fonts-liberation2 libical-dev pkg-config xvfb xauth xdotool imagemagick poppler-utils \
            clang-format liblemon-dev chromium-headless-shell python3 gnumeric \
            librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian \
            postgresql libqt6sql6-psql
BUILD    := build
# The Debian package is built apart, optimised and with Debian's hardening flags.
PACKAGE_BUILD := build-package
# CI builds with WERROR=ON, so that a warning fails the build; a user's build only shows it.
WERROR   ?= OFF
APT      := apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $(PACKAGES)

.PHONY: all deps build run test bench package install-check format format-check clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" -ne 0 ]; then \
	    echo "Missing packages:$$missing"; \
	    echo "Install them as root with:"; \
	    echo "  sudo sh -c '$(APT)'"; \
	    exit 1; \
	  fi; \
	  echo "Installing:$$missing"; \
	  sh -c '$(APT)'; \
	fi

# Configured again whenever WERROR changes; the stamp records the setting.
$(BUILD)/werror-$(WERROR):
	cmake -S . -B $(BUILD) -G Ninja -DVANTREL_WERROR=$(WERROR)
	rm -f $(BUILD)/werror-*
	touch $@

build: deps $(BUILD)/werror-$(WERROR)
	cmake --build $(BUILD)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to show Vantrel on; try: xvfb-run make run"; exit 1; \
	fi
	./$(BUILD)/src/app/vantrel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: build
	./$(BUILD)/bench/vantrel-bench

# build-package/vantrel_<version>_<arch>.deb, for `sudo apt install ./vantrel_*.deb`.
package: deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) --target package

# Installs into a temporary prefix and checks it, then builds and checks the package.
install-check: build
	.ci/install-check $(BUILD)

# Rewrites every source file in the house style of .clang-format.
format: deps
	.ci/check-format --apply

format-check: deps
	.ci/check-format

clean:
	rm -rf $(BUILD)

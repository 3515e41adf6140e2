# Vantrel: `make run` builds and starts the program, `make test` runs the suite headless.
PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev \
            fonts-liberation2 libical-dev pkg-config xvfb xauth xdotool imagemagick poppler-utils
BUILD    := build
APT      := apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $(PACKAGES)

.PHONY: all deps build run test bench clean

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

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: deps $(BUILD)/build.ninja
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

clean:
	rm -rf $(BUILD)

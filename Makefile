# The two commands a fresh Debian 12 machine needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DVELPA_WERROR=ON

.PHONY: deps configure build run test clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@ninja -C $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/velpa-player

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS) --timeout 300

clean:
	rm -rf $(BUILD_DIR)

# The two commands a fresh Debian 12 machine needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DVELPA_WERROR=ON
PREFIX ?= /usr/local

.PHONY: deps configure build run test bench install package package-check clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@ninja -C $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/velpa-player

# The whole suite, then every fuzz target for TEST_FUZZ_SECONDS, then the
# whole suite again under the sanitizers.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS) --timeout 300
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)
	@$(MAKE) --no-print-directory test-sanitize

# The sanitizer build: clang with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, which also holds the libFuzzer targets. Only
# leaks of third-party libraries are suppressed (tests/sanitize/lsan.supp).
# clang's warnings fail this build as gcc's fail the one above.
SANITIZE_DIR ?= build-sanitize
FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS ?= 30
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Two tests run the real video and sound outputs under Xvfb: the video view,
# and the installed package's player. Mesa, SDL and ALSA plug-ins leak there,
# partly from modules already unloaded at exit, which no suppression can
# name. Those two run with every check but the leak check.
SANITIZE_NO_LEAK_CHECK = MpvView.ShowsVideo|Desktop.PackageInstallsAndStarts

.PHONY: sanitize-build test-sanitize fuzz

sanitize-build: deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELPA_WERROR=ON \
		-DVELPA_SANITIZE=ON -DVELPA_FUZZ=ON -DVELPA_BUILD_BENCH=OFF >/dev/null
	@ninja -C $(SANITIZE_DIR) -j$(JOBS)

test-sanitize: sanitize-build
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure -j$(JOBS) --timeout 900 \
		-E '^($(SANITIZE_NO_LEAK_CHECK))$$'
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure \
		--timeout 900 -R '^($(SANITIZE_NO_LEAK_CHECK))$$'

# Each fuzz target for FUZZ_SECONDS; what they find stays in
# $(SANITIZE_DIR)/fuzz-work/.
fuzz: sanitize-build
	@bash fuzz/run.sh $(SANITIZE_DIR) $(FUZZ_SECONDS)

# Micro-benchmarks and the side-by-side comparison with mpv under Xvfb, as one
# table (README, "Performance"). RUNS sets the runs per end-to-end figure.
RUNS ?= 5
bench: build
	python3 bench/run.py --build $(BUILD_DIR) --runs $(RUNS)

# DESTDIR, when set, is put in front of PREFIX (staged installs).
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# $(BUILD_DIR)/velpa-player_<version>_<arch>.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Installs the package with apt into a fresh debootstrap root and starts it
# there (root, network, several minutes).
package-check: package
	bash scripts/check-package-clean-root.sh $(BUILD_DIR)/velpa-player_*.deb $(BUILD_DIR)/clean-root

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)

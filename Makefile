# The two commands of the README: `make run` and `make test`. Each installs what is missing.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test sanitize run bench format clean fuzz package package-check

all: build

deps:
	./scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLM_WERROR=ON

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Every test again in a build of its own with AddressSanitizer and UndefinedBehaviorSanitizer;
# the acceptance tests, which drive the real program under a window manager, run in `make test`.
SANITIZE_BUILD ?= build-sanitize
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLM_WERROR=ON -DQLM_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --output-on-failure -j $(JOBS) -LE acceptance

# The desktop program on the demo program folder; without a display, the demo clients in text.
run: build
	./scripts/make-demo $(BUILD)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD)/demo/quillmere; \
	else \
		echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): listing the demo clients with qlm instead."; \
		$(BUILD)/demo/qlm clients; \
	fi

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || true; done

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)

# libFuzzer harnesses (clang); run them by hand, e.g. build-fuzz/fuzz_profile -max_total_time=60
fuzz: deps
	CXX=clang++ cmake -S fuzz -B build-fuzz
	cmake --build build-fuzz -j $(JOBS)

# A Debian package of both programs (build-package/quillmere_*.deb), from a Release build of
# its own; `make package-check` installs it with apt and runs it as a user who cannot write
# the program folder.
PACKAGE_BUILD ?= build-package
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

package-check: package
	./scripts/check-package $(PACKAGE_BUILD)

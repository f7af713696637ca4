# The two commands of the README: `make run` and `make test`. Each installs what is missing.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test sanitize coverage run bench format format-check lint clean fuzz fuzz-run package package-check

all: build

deps:
	./scripts/install-deps

# ccache, where installed, keeps rebuilds of other checkouts and build folders short.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLM_WERROR=ON $(LAUNCHER)

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

# The line coverage of src/ by the whole suite, acceptance tests included, in a build of its own
# (without ccache, whose relative paths gcov cannot follow back to the sources).
COVERAGE_BUILD ?= build-coverage
coverage: deps
	./scripts/install-deps coverage
	cmake -S . -B $(COVERAGE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQLM_COVERAGE=ON
	cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	cd $(COVERAGE_BUILD) && ctest -j $(JOBS) > ctest.log || { tail -n 40 ctest.log; exit 1; }
	gcovr --root . --object-directory $(COVERAGE_BUILD) --filter src/ \
	    --exclude src/testing/tools/ --print-summary --txt $(COVERAGE_BUILD)/coverage.txt \
	    | tail -n 3

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

# Every C++ source laid out as .clang-format says; CI fails on any difference.
SOURCES = find src tests bench fuzz -name '*.cpp' -o -name '*.h'
format:
	./scripts/install-deps lint
	$(SOURCES) | xargs clang-format -i
format-check:
	./scripts/install-deps lint
	$(SOURCES) | xargs clang-format --dry-run --Werror

# clang-tidy with the checks of .clang-tidy over src/, on the build's compile commands (the
# build first, for the headers it generates). Any finding fails.
lint: build
	./scripts/install-deps lint
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet '$(CURDIR)/src/' > $(BUILD)/lint.log 2>&1 \
	    || { grep -A3 'error:' $(BUILD)/lint.log; exit 1; }
	@echo "clang-tidy: no findings in src/"

clean:
	rm -rf $(BUILD)

# libFuzzer harnesses for every parser of outside input, built with clang in build-fuzz/;
# `make fuzz-run SECONDS=N` runs each for N seconds (default 60), one after the other, growing
# its corpus in build-fuzz/corpus/ from the seeds in fuzz/corpus/ and logging to build-fuzz/logs/.
FUZZ_BUILD ?= build-fuzz
SECONDS ?= 60
FUZZERS = client_file settings scoring_tables narratives publishers bank_source bank_rows \
          journal cli_args
fuzz:
	./scripts/install-deps fuzz
	CXX=clang++ CC=clang cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQLM_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz-run: fuzz
	@mkdir -p $(FUZZ_BUILD)/logs
	@for f in $(FUZZERS); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$f; \
		echo "== fuzz_$$f for $(SECONDS) s"; \
		$(FUZZ_BUILD)/fuzz/fuzz_$$f -max_total_time=$(SECONDS) -timeout=10 -rss_limit_mb=2048 \
		    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/logs/$$f- \
		    $(FUZZ_BUILD)/corpus/$$f fuzz/corpus/$$f \
		    > $(FUZZ_BUILD)/logs/$$f.log 2>&1 \
		    || { tail -n 40 $(FUZZ_BUILD)/logs/$$f.log; exit 1; }; \
		grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" $(FUZZ_BUILD)/logs/$$f.log; \
		grep -E "^#[0-9]+.*DONE" $(FUZZ_BUILD)/logs/$$f.log | tail -n 1; \
	done

# The Debian packages (quillmere, quillmere-data and quillmere-dbgsym, in build-package/),
# built by Debian's own tools from a copy of the source tree in build-package/source, as they
# leave their results beside the tree they build. ccache, where installed, keeps its cache
# across package builds (debhelper gives the build a home of its own).
PACKAGE_BUILD ?= build-package
CCACHE_DIR ?= $(if $(LAUNCHER),$(shell ccache -k cache_dir))
package:
	./scripts/install-deps package
	rm -rf $(PACKAGE_BUILD) && mkdir -p $(PACKAGE_BUILD)/source
	git ls-files -z --cached --others --exclude-standard \
	    | tar --null --files-from=- --ignore-failed-read -cf - | tar -xf - -C $(PACKAGE_BUILD)/source
	cd $(PACKAGE_BUILD)/source && \
	    PATH=$(if $(LAUNCHER),/usr/lib/ccache:)$$PATH $(if $(CCACHE_DIR),CCACHE_DIR=$(CCACHE_DIR)) \
	    DEB_BUILD_OPTIONS="parallel=$(JOBS)" dpkg-buildpackage -b -us -uc

# lintian, then the packages installed with apt and used as a user and as root (needs root or
# sudo; it installs them on this machine and purges them at the end).
package-check: package
	./scripts/check-package $(PACKAGE_BUILD)

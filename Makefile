# Front end of the CMake build. `make demo` and `make test` do all set-up on a fresh machine.
JOBS ?= 2
CMAKE_GEN := -G Ninja
BUILD := build

.PHONY: all deps deps-qt build test demo sanitize tsan coverage bench fuzz clean format format-check

all: build

deps:
	@bash scripts/deps.sh

deps-qt:
	@bash scripts/deps.sh qt

# The main build includes the Qt widget set; its tests run offscreen.
build: deps deps-qt
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_WITH_QT=ON
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	bash scripts/demo.sh $(BUILD)/apps/qx/qx
	@mkdir -p $(BUILD)/demo
	@echo; echo '$$ qxdialog  (the error dialog: on screen with a display, else PNG files)'
	$(BUILD)/apps/qxdialog/qxdialog $(BUILD)/demo
	@echo; echo '$$ qxtable  (the table editor: a window with a display, else PNG files)'
	$(BUILD)/apps/qxtable/qxtable --shots $(BUILD)/demo

# ASan + UBSan build running the same tests (Qt itself is not instrumented, so the Qt widget
# set is left out here and under ThreadSanitizer).
sanitize: deps
	cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQX_SANITIZE=address,undefined \
	    -DQX_WITH_QT=OFF
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# ThreadSanitizer build running the same tests.
tsan: deps
	cmake -S . -B build-tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_SANITIZE=thread \
	    -DQX_WITH_QT=OFF
	cmake --build build-tsan -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j $(JOBS)

# Line and branch coverage of the library by the whole test suite (Qt tests included):
# a summary on the terminal and an HTML report in build-cov/coverage/.
coverage: deps deps-qt
	@bash scripts/deps.sh gcovr
	cmake -S . -B build-cov $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQX_COVERAGE=ON -DQX_WITH_QT=ON
	cmake --build build-cov -j $(JOBS)
	@# Notes of sources that left the build would disagree with the current ones.
	ninja -C build-cov -t cleandead >/dev/null
	find build-cov -name '*.gcno' | while read -r f; do [ -e "$${f%.gcno}.o" ] || rm -f "$$f"; done
	find build-cov -name '*.gcda' -delete
	ctest --test-dir build-cov --output-on-failure -j $(JOBS)
	@mkdir -p build-cov/coverage
	gcovr -r . build-cov --object-directory build-cov --filter 'qx/' --exclude-unreachable-branches \
	    --exclude-throw-branches --print-summary --html-details build-cov/coverage/index.html \
	    --txt build-cov/coverage/summary.txt

bench:
	@bash scripts/deps.sh muparser inih qt
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQX_BUILD_BENCH=ON -DQX_BUILD_TESTS=OFF \
	    -DQX_WITH_QT=ON
	cmake --build build-bench -j $(JOBS)
	bash scripts/bench.sh build-bench/bench

# libFuzzer targets, built with clang and ASan+UBSan (run them by hand, see fuzz/CMakeLists.txt).
fuzz:
	@bash scripts/deps.sh fuzz
	CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQX_BUILD_FUZZ=ON -DQX_BUILD_TESTS=OFF -DQX_BUILD_APPS=OFF -DQX_SANITIZE=address,undefined
	cmake --build build-fuzz -j $(JOBS)

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

# Fails when a source file differs from .clang-format's layout (run `make format` to fix).
format-check:
	@bash scripts/deps.sh format
	git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-asan build-tsan build-cov build-bench build-fuzz

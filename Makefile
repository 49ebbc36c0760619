# Front end of the CMake build. `make demo` and `make test` do all set-up on a fresh machine.
JOBS ?= 2
CMAKE_GEN := -G Ninja
BUILD := build

.PHONY: all deps deps-qt build test demo sanitize tsan bench fuzz clean format

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

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz

# The two commands of the README are `make run` and `make test`; both install what is
# missing first. Build trees live under build/.

CMAKE_GEN := -G Ninja
NATIVE := build/linux
WIN32 := build/win32
ASAN := build/asan
TSAN := build/tsan
FUZZ := build/fuzz
STRICT ?= OFF

.PHONY: all deps build build-linux build-win32 build-sanitizers build-fuzz test test-linux \
        test-win32 test-sanitizers bench bench-match bench-strength bench-win32 run-win32 format clean

all: build

deps:
	@scripts/install-deps.sh

build: build-linux build-win32

build-linux: deps
	cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENDREL_WERROR=$(STRICT)
	cmake --build $(NATIVE)

build-win32: deps
	cmake -S . -B $(WIN32) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DFENDREL_WERROR=$(STRICT) \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(WIN32)

build-sanitizers: deps
	cmake -S . -B $(ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFENDREL_SANITIZE=address,undefined
	cmake --build $(ASAN)
	cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENDREL_SANITIZE=thread
	cmake --build $(TSAN)

# libFuzzer needs clang; this tree holds the fuzz targets only.
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DFENDREL_FUZZ=ON -DFENDREL_WERROR=$(STRICT)
	cmake --build $(FUZZ)

test: STRICT = ON
test: build build-sanitizers build-fuzz
	ctest --test-dir $(NATIVE) --output-on-failure -j2
	ctest --test-dir $(WIN32) --output-on-failure -j2
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --test-dir $(ASAN) --output-on-failure -j2
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(TSAN) --output-on-failure -j2
	ctest --test-dir $(FUZZ) --output-on-failure

# dotbot against itself in build/run/, as Engine1.exe and Engine2.exe: in the Linux
# program's window on the user's desktop, or without a display (DISPLAY and
# WAYLAND_DISPLAY unset) through fendrel-match, with the game's progress, its final board
# and build/run/final.png.
.PHONY: run run-linux
run: run-linux

run-linux: build-linux
	mkdir -p build/run
	cp $(NATIVE)/dotbot build/run/Engine1.exe
	cp $(NATIVE)/dotbot build/run/Engine2.exe
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    cd build/run && ../linux/fendrel; \
	else \
	    scripts/run-headless.sh $(NATIVE) build/run; \
	fi

bench: build-linux
	$(NATIVE)/bench_rules
	$(NATIVE)/bench_relay
	$(NATIVE)/bench_board_picture
	$(NATIVE)/bench_dotbot

# Paints of a full board in the Windows program's window, under Wine on a private display.
bench-win32: build-win32
	xvfb-run -a -s "-screen 0 1280x1024x24" \
	    scripts/wine-run.sh $(CURDIR)/$(WIN32)/wineprefix $(WIN32)/paint_bench.exe

# The Windows program on the user's desktop under Wine, in build/run-win32/, with ENGINE
# (dotbot, or another built engine such as random_engine) as the engines listed in ENGINES;
# a side whose engine is left out (make run-win32 ENGINES=1) is played with the mouse.
RUN_WIN32 := build/run-win32
ENGINES ?= 1 2
ENGINE ?= dotbot
run-win32: build-win32
	@[ -n "$$DISPLAY" ] || { echo "make run-win32: no display (DISPLAY is unset)"; exit 1; }
	mkdir -p $(RUN_WIN32)
	rm -f $(RUN_WIN32)/Engine1.exe $(RUN_WIN32)/Engine2.exe
	cp $(WIN32)/fendrel.exe $(RUN_WIN32)/
	for n in $(ENGINES); do cp $(WIN32)/$(ENGINE).exe $(RUN_WIN32)/Engine$$n.exe; done
	cd $(RUN_WIN32) && env -u LC_ALL LANG=ru_RU.UTF-8 \
	    $(CURDIR)/scripts/wine-run.sh $(CURDIR)/build/run-wineprefix fendrel.exe

bench-match: build-linux
	$(NATIVE)/bench_match

# dotbot against the random and greedy engines through fendrel-match: minutes, not a test.
bench-strength: build-linux
	scripts/bench-strength.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

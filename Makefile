# The two commands of the README are `make run` and `make test`; both install what is
# missing first (make run only what the Linux programs need). Build trees live under build/.

CMAKE_GEN := -G Ninja
NATIVE := build/linux
WIN32 := build/win32
WIN64 := build/win64
ASAN := build/asan
TSAN := build/tsan
FUZZ := build/fuzz
# make test builds with -Werror; other goals leave a tree's setting as it is, so that
# make run after make test finds nothing to compile.
STRICT ?=
STRICT_FLAG = $(if $(STRICT),-DFENDREL_WERROR=$(STRICT))

.PHONY: all deps deps-native build build-linux build-win32 configure-win32 build-win64 \
        build-win32-programs build-sanitizers build-asan build-tsan build-fuzz test test-win32 bench bench-match bench-strength bench-win32 soak run-win32 \
        run-win64 format clean

all: build

# Everything the tests need; deps-native only what the Linux programs need.
deps:
	@scripts/install-deps.sh all

deps-native:
	@scripts/install-deps.sh native

build: build-linux build-win32

build-linux: deps-native
	cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(STRICT_FLAG)
	cmake --build $(NATIVE)

# The shipped program, 32-bit.
build-win32: configure-win32
	cmake --build $(WIN32)

configure-win32: deps
	cmake -S . -B $(WIN32) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release $(STRICT_FLAG) \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

# Its 64-bit twin, whose tests run under wine64 where no 32-bit code can run.
build-win64: deps
	cmake -S . -B $(WIN64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release $(STRICT_FLAG) \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
	cmake --build $(WIN64)

build-sanitizers: build-asan build-tsan

build-asan: deps
	cmake -S . -B $(ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFENDREL_SANITIZE=address,undefined
	cmake --build $(ASAN)

build-tsan: deps
	cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENDREL_SANITIZE=thread
	cmake --build $(TSAN)

# libFuzzer needs clang; this tree holds the fuzz targets only.
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DFENDREL_FUZZ=ON $(STRICT_FLAG)
	cmake --build $(FUZZ)

# Every tree and every suite, with -Werror; the Windows suites run beside the rest
# (scripts/test-all.sh), and the run ends with a table of where the time went.
test: STRICT = ON
test: deps
	@scripts/test-all.sh

# Where this machine runs no 32-bit Wine, make test builds only the shipped 32-bit programs.
WIN32_PROGRAMS := fendrel dotbot
build-win32-programs: configure-win32
	cmake --build $(WIN32) --target $(WIN32_PROGRAMS)

# The shipped 32-bit programs' own suites alone, where this machine can start a 32-bit Wine.
test-win32: build-win32
	@why=$$(scripts/wine32-runs.sh) || { echo "make test-win32: $$why"; exit 1; }
	ctest --test-dir $(WIN32) --output-on-failure -j2

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
	$(NATIVE)/bench_bridge

# Paints of a full board in the Windows program's window, under Wine on a private display.
# (The 64-bit twin's where no 32-bit code can run.)
bench-win32: build-win32 build-win64
	@if scripts/wine32-runs.sh >/dev/null; then arch=win32 tree=$(WIN32); \
	 else arch=win64 tree=$(WIN64); echo "the 64-bit twin: this machine runs no 32-bit Wine"; fi; \
	xvfb-run -a -s "-screen 0 1280x1024x24" \
	    scripts/wine-run.sh $$arch $(CURDIR)/$$tree/wineprefix $$tree/paint_bench.exe

# The Windows program on the user's desktop under Wine, in build/run-win32/, with ENGINE
# (dotbot, or another built engine such as random_engine) as the engines listed in ENGINES;
# a side whose engine is left out (make run-win32 ENGINES=1) is played with the mouse.
# make run-win64 does the same with the 64-bit twin, for machines that run no 32-bit code.
ENGINES ?= 1 2
ENGINE ?= dotbot
run-win32: build-win32
	@why=$$(scripts/wine32-runs.sh) || { echo "make run-win32: $$why; try make run-win64"; exit 1; }
	@$(MAKE) --no-print-directory run-windows ARCH=win32 TREE=$(WIN32)

run-win64: build-win64
	@$(MAKE) --no-print-directory run-windows ARCH=win64 TREE=$(WIN64)

.PHONY: run-windows
run-windows:
	@[ -n "$$DISPLAY" ] || { echo "make run-$(ARCH): no display (DISPLAY is unset)"; exit 1; }
	mkdir -p build/run-$(ARCH)
	rm -f build/run-$(ARCH)/Engine1.exe build/run-$(ARCH)/Engine2.exe
	cp $(TREE)/fendrel.exe build/run-$(ARCH)/
	for n in $(ENGINES); do cp $(TREE)/$(ENGINE).exe build/run-$(ARCH)/Engine$$n.exe; done
	cd build/run-$(ARCH) && env -u LC_ALL LANG=ru_RU.UTF-8 \
	    $(CURDIR)/scripts/wine-run.sh $(ARCH) $(CURDIR)/build/run-$(ARCH)-wineprefix fendrel.exe

bench-match: build-linux
	$(NATIVE)/bench_ratings
	$(NATIVE)/bench_follow
	$(NATIVE)/bench_match

# Every chaos mode against dotbot and against itself through fendrel-match, twelve games
# each (504 games): minutes, not a test; make test plays two of each.
soak: build-linux
	scripts/soak.py $(NATIVE) build/soak --games 12

# dotbot under both rule sets against the random and greedy engines, and under the standard
# rules against the dotbot before it knew them, through fendrel-match: minutes, not a test.
bench-strength: build-linux
	scripts/bench-strength.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

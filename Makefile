# The two commands of the README are `make run` and `make test`; both install what is
# missing first. Build trees live under build/.

CMAKE_GEN := -G Ninja
NATIVE := build/linux
WIN32 := build/win32
ASAN := build/asan
TSAN := build/tsan
STRICT ?= OFF

.PHONY: all deps build build-linux build-win32 build-sanitizers test test-linux test-win32 \
        test-sanitizers bench bench-strength format clean

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

test: STRICT = ON
test: build build-sanitizers
	ctest --test-dir $(NATIVE) --output-on-failure -j2
	ctest --test-dir $(WIN32) --output-on-failure -j2
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --test-dir $(ASAN) --output-on-failure -j2
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(TSAN) --output-on-failure -j2

bench: build-linux
	$(NATIVE)/bench_rules
	$(NATIVE)/bench_dotbot

# dotbot against the random and greedy engines through fendrel-match: minutes, not a test.
bench-strength: build-linux
	scripts/bench-strength.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

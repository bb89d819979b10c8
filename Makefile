# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN   = -G Ninja

PREFIX     ?= /usr/local

.PHONY: install all deps configure build run config test test-unit test-window test-asan test-fuzz fuzz-long bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-demo.sh $(BUILD)

# The two programs, their man pages and the player's desktop entry under $(PREFIX) (and
# $(DESTDIR) when packaging).
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX) --strip

# The settings dialog for the demo game (its game.ini is build/demo/game.ini).
config: build
	$(BUILD)/mobuplay /config $(BUILD)/demo

test: build
	@bash scripts/run-tests.sh $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)

test-unit: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE window

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DMOBU_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp ctest --output-on-failure -j $(JOBS) -LE window

test-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DMOBU_FUZZ=ON -DMOBU_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	cd $(BUILD_FUZZ) && LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp ctest --output-on-failure -L fuzz

# Not part of `make test`: every fuzz target for FUZZ_MINUTES (default 10) with a random seed,
# two at a time; new corpus entries and findings go to FUZZ_WORK (default ~/.cache/mobu-fuzz).
fuzz-long: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DMOBU_FUZZ=ON -DMOBU_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz_targets
	@bash scripts/fuzz-long.sh $(BUILD_FUZZ)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)

# Lumiseek: build, run and test on Debian 12.
#   make run    build what it starts (not the tests) and start Lumiseek under Wine (on $DISPLAY, else
#               on Xvfb); the keys are in the user guide, packaging/README.txt
#   make test   build and run every test: the layer check of the include lines, native unit tests
#               (CTest), the same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz
#               corpora replayed, then the Wine end-to-end tests
#   make fuzz   fuzz every input reader for FUZZ_TIME seconds each (default 60), keeping new corpus entries
#   make dist   the Windows release: dist/lumiseek-4.2-win64.zip and the installer dist/lumiseek-4.2-setup.exe
#   VERSION=4.2.1 builds that version in place of the one in the file VERSION; give it a folder of its
#               own, e.g. make win VERSION=4.2.1 WIN_DIR=build/win-4.2.1
# Each installs missing Debian packages first (make deps, as root).

JOBS        ?= 2
BUILD_TYPE  ?= Release
NATIVE_DIR  := build/native
WIN_DIR     := build/win
SAN_DIR     := build/sanitize
FUZZ_DIR    := build/fuzz
FUZZ_TIME   ?= 60
# The version built: the file VERSION unless VERSION=... is given (cmake/version.cmake).
VERSION_FLAG = $(if $(VERSION),-DLUMISEEK_VERSION=$(VERSION),-ULUMISEEK_VERSION)
FUZZ_TARGETS := settings results arguments engine text
# Debian's own Python has python3-pytest; a python3 earlier on PATH (pyenv, venv) may not.
PYTHON      ?= $(shell test -x /usr/bin/python3 && echo /usr/bin/python3 || echo python3)

# Debian 12 packages and a command (or file) that shows each one is there.
PACKAGES := \
  g++:g++ \
  make:make \
  cmake:cmake \
  g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix \
  gcc-mingw-w64-x86-64-posix:x86_64-w64-mingw32-gcc-posix \
  binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres \
  libgtest-dev:/usr/include/gtest/gtest.h \
  libbenchmark-dev:/usr/include/benchmark/benchmark.h \
  wine:/usr/bin/wine \
  wine64:/usr/lib/wine/wine64 \
  xvfb:Xvfb \
  xdotool:xdotool \
  xclip:xclip \
  imagemagick:import \
  python3-pytest:/usr/lib/python3/dist-packages/pytest \
  espeak-ng:espeak-ng \
  nsis:makensis \
  zip:zip \
  unzip:unzip \
  clang-14:clang++-14 \
  libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a

.PHONY: all deps layers build native win unit sanitize fuzz-build fuzz-replay fuzz e2e test run clean mutate dist dist-files
.NOTPARALLEL:

all: build

deps:
	@missing=""; \
	for entry in $(PACKAGES); do \
	  pkg=$${entry%%:*}; probe=$${entry#*:}; \
	  case "$$probe" in \
	    /*) test -e "$$probe" || missing="$$missing $$pkg" ;; \
	    *) command -v "$$probe" >/dev/null 2>&1 || missing="$$missing $$pkg" ;; \
	  esac; \
	done; \
	if [ -z "$$missing" ]; then echo "deps: all needed packages are installed"; exit 0; fi; \
	echo "deps: missing Debian packages:$$missing"; \
	if [ "$$(id -u)" != 0 ]; then \
	  echo "deps: cannot install them: not root. As root, run: apt-get update && apt-get install -y$$missing" >&2; \
	  exit 1; \
	fi; \
	if ! command -v apt-get >/dev/null 2>&1; then \
	  echo "deps: cannot install them: no apt-get here (Debian 12 expected). Install:$$missing" >&2; exit 1; \
	fi; \
	export DEBIAN_FRONTEND=noninteractive; \
	if ! apt-get update; then \
	  echo "deps: apt-get update failed; cannot install:$$missing" >&2; exit 1; \
	fi; \
	if ! apt-get install -y $$missing; then \
	  echo "deps: apt-get install failed; these packages are needed:$$missing" >&2; exit 1; \
	fi

build: native win

NATIVE_CONFIGURE = cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(VERSION_FLAG)
WIN_CONFIGURE = cmake -S . -B $(WIN_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake $(VERSION_FLAG)

native:
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE_DIR) -j$(JOBS)

win:
	$(WIN_CONFIGURE)
	cmake --build $(WIN_DIR) -j$(JOBS)

unit:
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j$(JOBS)

# The unit tests again, built by GCC with AddressSanitizer and UndefinedBehaviorSanitizer in a
# folder of their own (the benchmarks in build/native stay unsanitized).
sanitize:
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DLUMISEEK_SANITIZE=ON
	cmake --build $(SAN_DIR) -j$(JOBS)
	ctest --test-dir $(SAN_DIR) --output-on-failure -j$(JOBS)

fuzz-build:
	cmake -S tests/fuzz -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_DIR) -j$(JOBS)

# Every checked-in input, the seeds and those that once found a fault, run once (no fuzzing).
fuzz-replay: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	  files=$$(find tests/fuzz/corpus/$$t tests/fuzz/faults/$$t -type f 2>/dev/null); \
	  echo "fuzz-replay: $$t: $$(echo "$$files" | grep -c .) inputs"; \
	  $(FUZZ_DIR)/fuzz_$$t $$files > $(FUZZ_DIR)/replay-$$t.log 2>&1 || { tail -40 $(FUZZ_DIR)/replay-$$t.log; exit 1; }; \
	done

# One target after another, one process each. New inputs join tests/fuzz/corpus/<target>/; an
# input that finds a fault is written to tests/fuzz/faults/<target>/ (check it in with the fix).
fuzz: deps fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p tests/fuzz/corpus/$$t tests/fuzz/faults/$$t; \
	  echo "fuzz: $$t for $(FUZZ_TIME) s"; \
	  $(FUZZ_DIR)/fuzz_$$t -max_total_time=$(FUZZ_TIME) -max_len=2048 -timeout=10 -print_final_stats=1 \
	    -artifact_prefix=tests/fuzz/faults/$$t/ tests/fuzz/corpus/$$t 2>&1 | grep -E '^(stat::|SUMMARY|property)' || true; \
	  test -z "$$(find tests/fuzz/faults/$$t -newer $(FUZZ_DIR)/fuzz_$$t -type f)" || { echo "fuzz: $$t found a fault"; exit 1; }; \
	done

e2e:
	$(PYTHON) -m pytest -q tests/e2e

# No include runs up the folders' order (docs/ARCHITECTURE.md); the check's own test plants some.
layers:
	$(PYTHON) scripts/check-layers.py
	$(PYTHON) scripts/check-layers.py --self-test

# The end-to-end tests include the release, so it is built first.
test: deps layers build dist-files unit sanitize fuzz-replay e2e

dist: deps win dist-files

dist-files:
	./scripts/make-dist.sh $(WIN_DIR)

# The mutation check (not part of make test): plausible mistakes from tests/mutation/, one at a time.
# GENERATED=1: mutants made mechanically over the core, a sample of SAMPLE (a number or all) drawn by SEED.
mutate:
ifeq ($(GENERATED),1)
	$(PYTHON) scripts/mutate_gen.py --jobs $(JOBS) --sample $(or $(SAMPLE),300) --seed $(or $(SEED),1) $(if $(ONLY),--only $(ONLY))
else
	$(PYTHON) scripts/mutate.py --jobs $(JOBS) $(if $(ONLY),--only $(ONLY))
endif

# Only what run-lumiseek.sh starts: the program, its restarter, the engine's es.exe and the voice,
# and the native es that es.exe hands each search to; no tests, no benchmarks.
run: deps
	$(WIN_CONFIGURE)
	cmake --build $(WIN_DIR) -j$(JOBS) --target lumiseek start_lumiseek es lumiseek_espeak
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE_DIR) -j$(JOBS) --target es
	./scripts/run-lumiseek.sh $(WIN_DIR)

clean:
	rm -rf $(NATIVE_DIR) $(WIN_DIR) $(SAN_DIR) $(FUZZ_DIR) build/e2e build/run build/dist dist

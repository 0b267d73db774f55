# Lumiseek: build, run and test on Debian 12.
#   make run    build what is missing and start Lumiseek under Wine (on $DISPLAY, else on Xvfb)
#   make test   build and run every test: native unit tests (CTest), then the Wine end-to-end tests
#   make dist   the Windows release: dist/lumiseek-4.2-win64.zip and the installer dist/lumiseek-4.2-setup.exe
# Both install missing Debian packages first (make deps, as root).

JOBS        ?= 2
BUILD_TYPE  ?= Release
NATIVE_DIR  := build/native
WIN_DIR     := build/win
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
  unzip:unzip

.PHONY: all deps build native win unit e2e test run clean mutate dist dist-files
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

native:
	cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(NATIVE_DIR) -j$(JOBS)

win:
	cmake -S . -B $(WIN_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake
	cmake --build $(WIN_DIR) -j$(JOBS)

unit:
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j$(JOBS)

e2e:
	$(PYTHON) -m pytest -q tests/e2e

# The end-to-end tests include the release, so it is built first.
test: deps build dist-files unit e2e

dist: deps win dist-files

dist-files:
	./scripts/make-dist.sh $(WIN_DIR)

# The mutation check (not part of make test): plausible mistakes from tests/mutation/, one at a time.
mutate:
	$(PYTHON) scripts/mutate.py --jobs $(JOBS) $(if $(ONLY),--only $(ONLY))

run: deps build
	./scripts/run-lumiseek.sh $(WIN_DIR)

clean:
	rm -rf $(NATIVE_DIR) $(WIN_DIR) build/e2e build/run build/dist dist

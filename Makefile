# Entry points for building, running and testing vexor. The real work is in
# scripts/: install-deps.sh (system packages) and run-tests.sh (the suite).
#
#   make run FILE=notes.txt   build and open a file (FILE optional; ARGS=-d etc.)
#   make test                 build and run every test stage
#   make soak                 the long runs (scripts/soak.sh), after a build
#   make install PREFIX=/usr/local   build in build-release/ and install
#   make deb                  the Debian package, built in build-release/
#   make build | bench | deps | deps-run | clean

BUILD_DIR := build
# A Release build of its own for what is installed, apart from the tests'.
RELEASE_DIR := build-release
PREFIX  ?= /usr/local
JOBS      ?= 2
CMAKE     := cmake

# The nested builds would otherwise announce every directory they enter.
MAKEFLAGS += --no-print-directory

.PHONY: all configure build run test soak bench deps deps-run clean help install deb release

all: build

help:
	@sed -n '4,9s/^# //p' Makefile

# Everything the tests need too; deps-run only what building and running the
# editor needs.
deps:
	@scripts/install-deps.sh test

deps-run:
	@scripts/install-deps.sh run

configure:
	$(CMAKE) -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps
	@$(MAKE) configure
	$(CMAKE) --build $(BUILD_DIR) -j$(JOBS)

# Only the program itself, so that a broken test does not keep a user from
# opening a file, and only the packages it needs. Its exit status is make's:
# without an X display vexor says so and fails, and so does make.
run: deps-run
	@$(MAKE) configure
	$(CMAKE) --build $(BUILD_DIR) -j$(JOBS) --target vexor
	./$(BUILD_DIR)/vexor $(ARGS) $(if $(FILE),"$(FILE)")

test:
	JOBS=$(JOBS) scripts/run-tests.sh

# Long runs that do not fit the test suite; the list is in scripts/soak.sh.
soak: build
	scripts/soak.sh

bench:
	JOBS=$(JOBS) scripts/run-bench.sh

# Only the program and the files installed with it, hardened and without the
# tests; the package strips the program, the install does so too.
release: deps-run
	$(CMAKE) -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DVEXOR_HARDEN=ON \
	  -DVEXOR_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
	$(CMAKE) --build $(RELEASE_DIR) -j$(JOBS) --target vexor_dist

# DESTDIR, when given, is put before PREFIX (staged installs).
install: release
	DESTDIR="$(DESTDIR)" $(CMAKE) --install $(RELEASE_DIR) --prefix "$(PREFIX)" --strip

deb: release
	cd $(RELEASE_DIR) && cpack -G DEB
	@ls -t "$(CURDIR)/$(RELEASE_DIR)"/vexor_*.deb | head -n 1

clean:
	rm -rf $(BUILD_DIR) $(RELEASE_DIR) build-asan build-fuzz

#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing vexor
# need, and nothing that is already there. This is the one list of them, in
# two groups: what building and running the editor needs, and what the test
# suite, the benchmarks and the features' own tests need on top.
#
#   scripts/install-deps.sh [run|test|bench] [--check]
#
#   run       only what building and running the editor needs (make run)
#   test      that and everything the tests need (make test; the default)
#   bench     that and the peers the benchmarks compare with (never CI's)
#   --check   only list what is missing (exit 1 if any)
#
# As root it calls apt-get directly; otherwise it uses sudo when that exists;
# otherwise it prints the apt-get line to run and fails if anything needed for
# the build itself is missing. VEXOR_SKIP_DEPS=1 skips the whole step.
set -euo pipefail

# Building and running the editor: without these nothing works.
run_required=(
  build-essential     # g++, make and the C library headers
  cmake               # the build system (3.20 or later)
  pkg-config          # lets cmake find FreeType and X11
  libx11-dev          # Xlib: window, events, input method, selections
  libxext-dev         # MIT-SHM, so local servers read the glyph strip from shared memory
  libfreetype-dev     # glyph loading and anti-aliased rendering
  fontconfig          # font lookup by name
  libfontconfig1      # loaded at run time as libfontconfig.so.1
  fonts-dejavu-core   # a monospaced font, and the one the tests pin
)

# The unit tests cannot be built without these.
test_required=(
  libgtest-dev        # unit tests
  libgmock-dev        # mocks used by some unit tests
)

# The rest of the suite, the benchmarks, and the print and sound features'
# tests. Missing ones only skip parts of it, so a user without root can
# still build and test.
test_optional=(
  libbenchmark-dev    # bench/ programs (make bench)
  bc                  # timing arithmetic in scripts/bench-*.sh
  clang               # libFuzzer targets in tests/fuzz/
  libclang-rt-14-dev  # clang's libFuzzer and sanitizer runtimes (only recommended by clang)
  xvfb                # virtual X server for the end-to-end tests
  xauth               # lets xvfb-run hand out an authority file
  xdotool             # types keys into the editor window in end-to-end tests
  libxtst6            # XTEST extension that xdotool sends keys through
  x11-apps            # xwd, to take screenshots of the window
  x11-utils           # xwininfo, to see which pop-up windows are open
  openbox             # a real window manager, which keeps the window's minimum size (wm_manners.sh)
  imagemagick         # converts and compares those screenshots
  cups                # print spooler the print tests can send jobs to
  cups-daemon         # cupsd, run privately by the print tests
  cups-core-drivers   # gziptoany, the filter the tests' file printer passes PDF through
  qpdf                # checks the structure of the PDF documents printed
  poppler-utils       # pdfinfo, pdfimages, pdffonts: what a printed page holds
  tesseract-ocr       # reads the printed text back from the page images
  tesseract-ocr-eng   # its English data
  mandoc              # mandoc -T lint on the manual page (tests/e2e/docs.sh)
  groff               # groff -ww, the manual page's second lint
  man-db              # man --warnings -l: the page as man shows it
  desktop-file-utils  # desktop-file-validate on the desktop entry
  xclip               # the other X client in the clipboard tests
  xsel                # a second one, which asks and offers differently
  cups-client         # lpstat/lp, to set up and inspect test printers
  libcups2            # CUPS client library (libcups.so.2, which the program loads)
  libcups2-dev        # the unversioned libcups.so, the program's second choice
  enscript            # scripts/bench-print.sh: the text-to-PostScript printer it compares with
  ghostscript         # its ps2pdf
  pulseaudio          # sound server for the Morse output
  pulseaudio-utils    # pactl/parec, to check the Morse stream
  libpulse0           # PulseAudio client libraries
  libpulse-dev        # provides the unversioned libpulse-simple.so the program loads
  fonts-wqy-microhei  # CJK and kana for the fallback font tests
  fonts-freefont-ttf  # Georgian and Ethiopic for the fallback font tests
  fonts-symbola       # maths signs, Braille and emoji as outlines, for the same
  fonts-noto-color-emoji  # colour emoji, the bitmap fallback the same tests scale
  lintian             # tests/e2e/deb.sh: checks the Debian package against policy
  debootstrap         # the same: a fresh minimal Debian 12 to install the package into
  curl                # the same: whether the Debian mirror is reachable
  man-db              # tests/e2e/install.sh: man -l renders the installed manual page
  file                # tests/e2e/deb.sh: the packaged program is stripped
)

# Only for the benchmarks that compare with other programs; the tests and CI
# never need them.
bench_optional=(
  vim                 # scripts/bench-open.sh: the peer that reads the same large file
  time                # /usr/bin/time, the peak memory of a whole process
)

group=test
check_only=0
for arg in "$@"; do
  case $arg in
    run | test | bench) group=$arg ;;
    --check) check_only=1 ;;
    *) echo "install-deps: unknown argument '$arg' (run, test, bench, --check)" >&2; exit 2 ;;
  esac
done

required=("${run_required[@]}")
optional=()
if [[ $group == test || $group == bench ]]; then
  required+=("${test_required[@]}")
  optional+=("${test_optional[@]}")
fi
if [[ $group == bench ]]; then
  optional+=("${bench_optional[@]}")
fi

if [[ ${VEXOR_SKIP_DEPS:-0} == 1 ]]; then
  echo "install-deps: skipped (VEXOR_SKIP_DEPS=1)"
  exit 0
fi

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "install-deps: not a Debian system; install the equivalents of:" >&2
  echo "  ${required[*]} ${optional[*]-}" >&2
  exit 0
fi

is_installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true) == "install ok installed" ]]
}

missing_required=()
missing_optional=()
for p in "${required[@]}"; do
  is_installed "$p" || missing_required+=("$p")
done
for p in ${optional[@]+"${optional[@]}"}; do
  is_installed "$p" || missing_optional+=("$p")
done
missing=(${missing_required[@]+"${missing_required[@]}"} ${missing_optional[@]+"${missing_optional[@]}"})

if ((${#missing[@]} == 0)); then
  echo "install-deps: all packages present"
  exit 0
fi

if ((check_only)); then
  echo "install-deps: missing: ${missing[*]}"
  exit 1
fi

cannot_install() {
  echo "install-deps: $1; please run as root:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  if ((${#missing_required[@]})); then
    exit 1
  fi
  echo "install-deps: continuing; parts of the test suite will be skipped" >&2
  exit 0
}

# Who may run apt-get.
sudo_cmd=()
if ((EUID != 0)); then
  if ! command -v sudo >/dev/null 2>&1; then
    cannot_install "not root and no sudo"
  fi
  sudo_cmd=(sudo)
  # Without a terminal a password prompt would hang: ask sudo not to prompt.
  if [[ ! -t 0 ]]; then
    sudo_cmd=(sudo -n)
    if ! sudo -n true 2>/dev/null; then
      cannot_install "sudo needs a password and there is no terminal"
    fi
  fi
fi

export DEBIAN_FRONTEND=noninteractive
apt_install() {
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "$@"
}
apt_update() {
  "${sudo_cmd[@]}" apt-get update -q
}

# The package lists are needed before anything can be installed; fetch them
# when there are none or when they are older than a day.
lists=/var/lib/apt/lists
updated=0
if [[ -z $(find "$lists" -maxdepth 1 -name '*_Packages*' -mtime -1 -print -quit 2>/dev/null) ]]; then
  apt_update
  updated=1
fi

echo "install-deps: installing ${missing[*]}"
if ! apt_install "${missing[@]}"; then
  # Stale lists name versions the mirror no longer has: refresh once and retry.
  installed=0
  if ((!updated)); then
    apt_update
    apt_install "${missing[@]}" && installed=1
  fi
  if ((!installed)); then
    # Keep the build possible when only an optional package cannot be had.
    if ((${#missing_required[@]})) && ! apt_install "${missing_required[@]}"; then
      echo "install-deps: cannot install ${missing_required[*]}" >&2
      exit 1
    fi
    echo "install-deps: warning: could not install ${missing_optional[*]};" \
      "parts of the test suite will be skipped" >&2
    exit 0
  fi
fi
echo "install-deps: done"

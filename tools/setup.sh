# Shared by ./kio and ./test: installs the Debian packages that are missing,
# then configures and builds into the folder given.
set -euo pipefail

KIO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the program and its tests need.
KIO_RUN_PACKAGES=(cmake ninja-build g++ pkgconf libicu-dev qt6-base-dev libgl-dev dict-freedict-eng-por zlib1g-dev
                  libhunspell-dev hunspell-pt-br hunspell-en-us hunspell-es
                  qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core
                  libcpp-httplib-dev libmicrohttpd-dev nlohmann-json3-dev libsqlite3-dev libpqxx-dev libssl-dev libxml2-dev
                  libzip-dev)
# Packaging (./package, and the install tests that build the package).
KIO_PACKAGE_PACKAGES=(dpkg-dev file)
KIO_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev util-linux clang-format
                   clang libclang-rt-14-dev chromium postgresql libxml2-utils
                   "${KIO_PACKAGE_PACKAGES[@]}" lintian desktop-file-utils appstream man-db)

kio_install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The browser tests need Node.js with npm. Machines that already carry a
# Node.js of their own (with its npm) keep it: Debian's npm package would
# conflict with it.
kio_install_node() {
  command -v node >/dev/null && command -v npm >/dev/null && return 0
  kio_install_packages nodejs npm
}

# kio_configure DIR [cmake options...]
kio_configure() {
  local dir=$1
  shift
  cmake -S "$KIO_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}

# kio_build DIR [cmake options...]: configures and builds everything.
kio_build() {
  kio_configure "$@"
  cmake --build "$1"
}

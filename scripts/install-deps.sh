#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent and non-interactive: apt-get update runs only when something is missing.
# Usage: install-deps.sh [--fuzz | --view | --bench]
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libglx-dev
  qt6-webengine-dev qt6-webengine-dev-tools
  libqt6webenginecore6-bin libqt6webengine6-data
  qt6-qpa-plugins libqt6printsupport6 qt6-svg-dev
  qt6-image-formats-plugins libqt6svg6
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  python3 python3-pyftpdlib vsftpd curl
  libssl-dev openssl python3-openssl
  libssh-dev openssh-client openssh-server
  libtidy-dev tidy
  fonts-dejavu-core
  wamerican
  scowl fortunes
  aspell aspell-en hunspell hunspell-en-us
  poppler-utils
  desktop-file-utils appstream dpkg-dev file xdotool
)

# `--fuzz` adds what `make fuzz` needs: clang and its compiler runtime with libFuzzer
# (libclang-rt-dev follows this Debian's default clang). `make test` does not need them.
# `--view` adds the tools `make screenshot` and `make vnc` use to look at the Xvfb screen.
# `--bench` adds socat, the plain TCP copy the upload benchmark measures as its ceiling.
case "${1:-}" in
  --fuzz) PACKAGES+=(clang libclang-rt-dev) ;;
  --view) PACKAGES+=(imagemagick x11vnc) ;;
  --bench) PACKAGES+=(socat) ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
# vsftpd's package starts a system daemon on port 21; the tests run their own instance. The
# system's sshd is left alone: the tests start their own on a free port, and the machine may be
# reached through it.
if command -v systemctl >/dev/null 2>&1; then $SUDO systemctl stop vsftpd 2>/dev/null || true; fi
$SUDO service vsftpd stop >/dev/null 2>&1 || true

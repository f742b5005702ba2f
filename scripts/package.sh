#!/usr/bin/env bash
# Builds the Debian package, build-package/vantor-logimport_<version>_<arch>.deb: built as
# Debian builds its packages (build type None, the flags and hardening of dpkg-buildflags), packed by CPack with its dependencies worked out by
# dpkg-shlibdeps. Then checks it as Debian would: lintian (an error fails the script) and
# systemd-analyze on the units as the package installs them.
#
#   scripts/package.sh
#   apt install ./build-package/vantor-logimport_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PACKAGE_BUILD_DIR:-$root/build-package}"

"$root/scripts/install-deps.sh" --packaging

echo "== Building the package in $build"
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DVANTOR_BUILD_TESTS=OFF -DVANTOR_BUILD_BENCH=OFF -DVANTOR_WERROR=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/vantor-logimport_*.deb
(cd "$build" && cpack -G DEB)
deb="$(ls "$build"/vantor-logimport_*.deb)"

echo "== $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

echo "== lintian"
lintian --fail-on error --display-info "$deb"
echo "lintian: no errors"

echo "== systemd-analyze verify"
if command -v systemd-analyze >/dev/null; then
  unpacked="$(mktemp -d)"
  trap 'rm -rf "$unpacked"' EXIT
  dpkg-deb -x "$deb" "$unpacked"
  units="$unpacked/usr/lib/systemd/user"
  # systemd checks that the program exists: point the service at the unpacked one.
  sed -i "s|/usr/bin/vantor-logimport|$unpacked/usr/bin/vantor-logimport|" \
    "$units/vantor-logimport@.service"
  systemd-analyze verify --man=no "$units/vantor-logimport@KORA26.MDB.service" \
    "$units/vantor-logimport@KORA26.MDB.timer"
  echo "systemd units: verified"
else
  echo "systemd-analyze is not installed: the units were not verified"
fi

#!/usr/bin/env bash
# Builds the Debian package the way a packager builds (GCC, Makefiles,
# Release, no warning allowed), checks it with the validators and
# dpkg-deb, then installs it with apt-get into a clean Debian 12 root
# (debootstrap, chroot) where vorn-cli must compose the sample's tag and
# vorn must start on the offscreen platform.
#
# Needs root (or sudo) and the network. The clean root and the packages
# apt fetches for it are cached in $VORN_PACKAGE_CACHE
# (default ~/.cache/vorn-package); every run installs into a fresh copy.
# Prints the path of the package; exits non-zero when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$source_dir/build/package
cache=${VORN_PACKAGE_CACHE:-$HOME/.cache/vorn-package}
mirror=${VORN_DEBIAN_MIRROR:-http://deb.debian.org/debian}

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

step() { echo "== $*"; }
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

step "tools"
./scripts/setup.sh
tools=(dpkg-dev desktop-file-utils appstream man-db groff-base lintian debootstrap)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

step "build (GCC, Makefiles, Release)"
cmake -S . -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF >/dev/null
if ! cmake --build "$build" -j2 >"$build/build.log" 2>&1; then
  tail -n 30 "$build/build.log"
  exit 1
fi
if grep -q "warning:" "$build/build.log"; then
  grep "warning:" "$build/build.log"
  fail "the build warns (see $build/build.log)"
fi

step "cpack -G DEB"
rm -f "$build"/vorn_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/vorn_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "FAIL: no $deb" >&2; exit 1; }
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"

step "control"
dpkg-deb --field "$deb" Package Version Architecture Depends Installed-Size
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6; do
  [[ $depends == *"$library ("* ]] || fail "Depends lacks $library with a version: $depends"
done

step "contents"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
dpkg-deb --contents "$deb" | awk '{print $1, $3, $6}' | grep -v '/$'
for file in usr/bin/vorn usr/bin/vorn-cli \
  usr/share/vorn/cmwds_en.txt usr/share/vorn/vorn_text.dat \
  usr/share/vorn/LICENSE-stopwords.txt usr/share/vorn/manual.html \
  usr/share/vorn/json-output.md \
  usr/share/applications/vorn.desktop \
  usr/share/icons/hicolor/scalable/apps/vorn.svg \
  usr/share/metainfo/org.vorn.vorn.metainfo.xml \
  usr/share/bash-completion/completions/vorn-cli \
  usr/share/man/man1/vorn.1.gz usr/share/man/man1/vorn-cli.1.gz; do
  [[ -f $unpacked/$file ]] || fail "not in the package: /$file"
done
outside=$(cd "$unpacked" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z $outside ]] || fail "files outside /usr: $outside"

step "desktop-file-validate"
desktop-file-validate "$unpacked/usr/share/applications/vorn.desktop" ||
  fail "desktop-file-validate"
step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.vorn.vorn.metainfo.xml" ||
  fail "appstreamcli validate"
newest=$(grep -o '<release version="[^"]*"' \
  "$unpacked/usr/share/metainfo/org.vorn.vorn.metainfo.xml" | head -1 | cut -d'"' -f2)
[[ $newest == "$version" ]] ||
  fail "the metainfo's newest release is $newest, the project's version $version"

step "man --warnings"
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man failed on $page"
  [[ -z $warnings ]] && echo "$(basename "$page"): no warning" || fail "$(basename "$page"): $warnings"
done

step "lintian (for information)"
lintian --tag-display-limit 0 "$deb" || true

step "a clean Debian 12 root"
mkdir -p "$cache/archives/partial"
pristine=$cache/bookworm
if [[ ! -f $pristine/.complete ]]; then
  $sudo rm -rf "$pristine"
  $sudo debootstrap --variant=minbase bookworm "$pristine" "$mirror"
  printf '%s\n' "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
    "deb ${mirror%/debian}/debian-security bookworm-security main" |
    $sudo tee "$pristine/etc/apt/sources.list" >/dev/null
  $sudo touch "$pristine/.complete"
fi
root=$cache/root
mounted=()
cleanup() {
  local i m
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    m=${mounted[i]}
    $sudo umount "$m" || $sudo umount -l "$m"
  done
  mounted=()
  if grep -q " $root/" /proc/mounts; then
    echo "still mounted under $root: not removed" >&2
  else
    $sudo rm -rf "$root"
  fi
  rm -rf "$unpacked"
}
trap cleanup EXIT
$sudo rm -rf "$root"
$sudo cp -a "$pristine" "$root"
$sudo cp /etc/resolv.conf "$root/etc/resolv.conf"
$sudo mount -t proc proc "$root/proc" && mounted+=("$root/proc")
$sudo mount --bind "$cache/archives" "$root/var/cache/apt/archives" &&
  mounted+=("$root/var/cache/apt/archives")
$sudo cp "$deb" "$root/tmp/"
$sudo cp -r examples/site "$root/tmp/site"
in_root() { $sudo chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp "$@"; }

step "apt-get install ./$(basename "$deb")"
in_root apt-get update -q >/dev/null
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o Dpkg::Use-Pty=0 \
  --no-install-recommends ./$(basename "$deb")" | tail -n 3

step "vorn-cli in the root"
expected=$(cd examples/site && "$build/vorn-cli" tag index.htm)
got=$(in_root sh -c 'cd /tmp/site && vorn-cli tag index.htm' 2>"$build/root-stderr") ||
  fail "vorn-cli tag failed in the root"
[[ -s $build/root-stderr ]] && fail "vorn-cli tag said: $(cat "$build/root-stderr")"
echo "$got"
[[ $got == "$expected" ]] || fail "vorn-cli in the root composes another tag than the build:
$expected"
got=$(in_root vorn-cli --version)
[[ $got == "vorn-cli $version" ]] || fail "vorn-cli --version printed '$got'"

step "vorn starts offscreen in the root"
# Still running after 5 s (timeout's 124): it started and did not end on an
# error.
status=0
in_root env QT_QPA_PLATFORM=offscreen timeout 5 vorn 2>"$build/vorn-stderr" || status=$?
sed 's/^/  vorn: /' "$build/vorn-stderr"
if [[ $status -eq 124 ]]; then
  echo "vorn ran until stopped"
else
  fail "vorn ended with status $status"
fi

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package ok: $deb"

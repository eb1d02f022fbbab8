#!/usr/bin/env bash
# Makes the Debian package from a build tree and checks it as a user's system
# would see it: the files it holds, its dependencies, the desktop entry, the
# metainfo, and that the programs extracted from it start.
#   check_package.sh BUILD_DIR VERSION APP_ID PROGRAM...
set -euo pipefail
build="$1"
version="$2"
app_id="$3"
shift 3
programs=("$@")

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not make the package"
fi
deb="$(find "$work/out" -maxdepth 1 -name '*.deb')"
[ -n "$deb" ] || fail "no .deb in $work/out"
echo "package: $(basename "$deb")"

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "depends: $depends"
# Computed from the binaries: the C library and Qt at least.
for library in libc6 libqt6widgets6; do
  [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
    fail "Depends lacks $library"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
expected=(
  "./usr/share/applications/$app_id.desktop"
  "./usr/share/metainfo/$app_id.metainfo.xml"
  ./usr/share/icons/hicolor/scalable/apps/dravo-explorer.svg
)
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x$size/apps/dravo-explorer.png")
done
for program in "${programs[@]}"; do
  expected+=("./usr/bin/$program")
done
for path in "${expected[@]}"; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done

dpkg -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" ||
  fail "desktop entry not valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo not valid"

# The extracted programs answer --version without a display.
for program in "${programs[@]}"; do
  answer="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$work/root/usr/bin/$program" --version)" || fail "$program --version failed"
  [ "$answer" = "$program $version" ] || fail "$program --version said: $answer"
  echo "$answer"
done
echo "package checked"

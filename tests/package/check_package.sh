#!/usr/bin/env bash
# Makes the Debian package from a build tree and checks it as a user's system
# would see it: lintian finds no error and no warning, the files it holds, its
# dependencies, the desktop entry, the metainfo, the manual pages and the
# completion, and that the programs extracted from it start.
#   check_package.sh BUILD_DIR VERSION APP_ID PROGRAM...
set -euo pipefail
build="$1"
version="$2"
app_id="$3"
shift 3
programs=("$@")
source="$(cd "$(dirname "$0")/../.." && pwd)"

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli lintian man; do
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

# Errors and warnings fail; information and pedantic notes are shown only.
lintian --tag-display-limit 0 --display-info "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -qE '^[EW]: ' "$work/lintian.log"; then
  fail "lintian reports errors or warnings"
fi
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
doc=./usr/share/doc/dravo-explorer
expected+=("$doc/copyright" "$doc/changelog.gz")
for program in "${programs[@]}"; do
  expected+=("./usr/bin/$program" "./usr/share/man/man1/$program.1.gz")
done
[[ " ${programs[*]} " == *" dravo-cli "* ]] &&
  expected+=(./usr/share/bash-completion/completions/dravo-cli)
for path in "${expected[@]}"; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done

dpkg -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" ||
  fail "desktop entry not valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo not valid"

[[ "$(zcat "$work/root/$doc/changelog.gz" | head -n 1)" == "dravo-explorer ($version) "* ]] ||
  fail "the changelog's last entry is not for $version"

if [[ " ${programs[*]} " == *" dravo-cli "* ]]; then
  cli="$work/root/usr/bin/dravo-cli"
  # Every command and verb the program knows, as its --help lists them.
  listed() { "$cli" --lang en "$@" --help | awk '/^Commands:/ {on = 1; next} on && NF {print $1}'; }
  commands="$(listed)"
  [ -n "$commands" ] || fail "dravo-cli --help lists no command"
  page="$(MANWIDTH=200 man -l "$work/root/usr/share/man/man1/dravo-cli.1.gz" 2>/dev/null)"
  for command in $commands; do
    grep -qE "^ +$command( |$)" <<<"$page" || fail "the dravo-cli manual page lacks $command"
    for verb in $(listed "$command"); do
      grep -qE "^ +$command $verb( |$)" <<<"$page" ||
        fail "the dravo-cli manual page lacks $command $verb"
    done
  done
  # Every exit status the program may give.
  statuses="$(grep -oE '= [0-9]+' "$source/cli/exit_status.h" | tr -dc '0-9\n')"
  exits="$(awk '/^EXIT STATUS/ {on = 1; next} /^[A-Z]/ {on = 0} on' <<<"$page")"
  for status in $statuses; do
    grep -qE "^ +$status( |$)" <<<"$exits" || fail "the dravo-cli manual page lacks exit status $status"
  done
  # The completion offers every command, and a command's verbs after it.
  completion="$work/root/usr/share/bash-completion/completions/dravo-cli"
  complete_words() {
    bash -c 'source /usr/share/bash-completion/bash_completion && source "$1" && shift &&
      COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && COMP_LINE="$*" &&
      COMP_POINT=${#COMP_LINE} && _dravo_cli && printf "%s\n" "${COMPREPLY[@]}"' \
      complete "$completion" "$@"
  }
  offered="$(complete_words dravo-cli "")"
  for command in $commands; do
    grep -qxF "$command" <<<"$offered" || fail "the completion does not offer $command"
  done
  [ "$(complete_words dravo-cli --port COM3 history "" | grep -vc '^--')" = 2 ] ||
    fail "the completion does not offer the two verbs of history"
fi

# The extracted programs answer --version without a display.
for program in "${programs[@]}"; do
  answer="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$work/root/usr/bin/$program" --version)" || fail "$program --version failed"
  [ "$answer" = "$program $version" ] || fail "$program --version said: $answer"
  echo "$answer"
done
echo "package checked"

#!/usr/bin/env bash
# Checks the Debian package without installing it: unpacks it into a
# temporary root, runs its programs from there, validates the desktop entry,
# the AppStream file, the manual pages and the completion, and runs lintian.
#
#   scripts/check-package.sh [build/kvt540m_VERSION_ARCH.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls build/kvt540m_*.deb | tail -1)}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

# The programs answer from the unpacked root, the window program without a
# display.
for program in kvt540m kvt540m-cli kvt540m-sign-sim; do
  bin=$root/usr/bin/$program
  run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" "$@"; }
  [ "$(run --version)" = "$program $version" ] || fail "$program --version"
  help=$(run --help) && [ -n "$help" ] || fail "$program --help"
  if run --no-such-option >/dev/null 2>&1; then fail "$program takes an unknown option"
  elif [ $? -ne 2 ]; then fail "$program: usage error not exit 2"; fi
done
ok "--version, --help and a usage error of each program"
wire=$("$root/usr/bin/kvt540m-cli" send tests/data/sample.dat --dry-run) || fail "send --dry-run"
[ "$(grep -c $'\r$' <<<"$wire")" -eq 102 ] || fail "send --dry-run: not the 102 commands"
ok "kvt540m-cli send --dry-run"

share=$root/usr/share
desktop=$(ls "$share"/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$share"/metainfo/*.xml)"
grep -q "<release version=\"$version\"" "$share"/metainfo/*.metainfo.xml ||
  fail "the metainfo has no release $version"
ok "desktop entry and AppStream metadata"

icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 16 32 48 64 128 256; do
  file "$share/icons/hicolor/${size}x$size/apps/$icon.png" | grep -q "PNG image data, $size x $size" ||
    fail "icon $icon at $size px"
done
ok "icons"

for program in kvt540m kvt540m-cli kvt540m-sign-sim; do
  page=$share/man/man1/$program.1.gz
  [ -f "$page" ] || { fail "no manual page $program(1)"; continue; }
  warnings=$(zcat "$page" | LC_ALL=C groff -ww -z -man 2>&1)
  [ -z "$warnings" ] || fail "$program(1): $warnings"
  zcat "$page" | grep -q "^\.TH .* \"kvt540m $version\"" || fail "$program(1) is not of $version"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT "EXIT STATUS" EXAMPLES \
                 "SEE ALSO"; do
    zcat "$page" | grep -q "^\.SH \"\?$section\"\?$" || fail "$program(1) has no $section"
  done
done
ok "manual pages"

completion=$share/bash-completion/completions/kvt540m-cli
bash -n "$completion" || fail "completion syntax"
bash -c "source '$completion' && complete -p kvt540m-cli" >/dev/null || fail "completion"
ok "completion"

doc=$share/doc/kvt540m
grep -q dialout "$doc/README.Debian" || fail "README.Debian without the dialout advice"
[ -f "$doc/copyright" ] || fail "no copyright file"
zcat "$doc/changelog.gz" | head -1 | grep -q "^kvt540m ($version)" || fail "changelog not of $version"
ok "documentation"

if lint=$(lintian --fail-on error "$deb" 2>&1); then lint_status=0; else lint_status=$?; fi
grep -v "running with root privileges" <<<"$lint" || true
[ "$lint_status" -eq 0 ] || fail "lintian reports errors"
ok "lintian"

if [ "$failures" -gt 0 ]; then
  echo "$failures package checks failed" >&2
  exit 1
fi
echo "package $(basename "$deb") checked"

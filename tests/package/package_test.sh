#!/usr/bin/env bash
# package_test.sh BUILD VERSION SITE: builds the .deb from BUILD, unpacks it
# with dpkg -x into a scratch root and runs the installed programs from there.
set -euo pipefail
build="$1" version="$2" site="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/out/paperpull_"$version"_*.deb)
[ -f "${debs[0]}" ] || fail "no paperpull_${version}_*.deb made"
deb="${debs[0]}"

# apt brings what the program needs: Qt with the browser, gumbo, libcurl.
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6webenginecore6 libqt6webenginecore6-bin qt6-translations-l10n libqt6widgets6 libqt6multimedia6 libgumbo1 libcurl4; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

root="$scratch/root"
dpkg -x "$deb" "$root"
for file in usr/bin/paperpull usr/bin/paperpull-extract \
    usr/share/paperpull/101.wav usr/share/paperpull/102.wav usr/share/paperpull/103.wav \
    usr/share/applications/paperpull.desktop usr/share/icons/hicolor/scalable/apps/paperpull.svg \
    usr/share/man/man1/paperpull.1.gz usr/share/man/man1/paperpull-extract.1.gz; do
  [ -f "$root/$file" ] || fail "missing /$file"
done
[ -x "$root/usr/bin/paperpull" ] && [ -x "$root/usr/bin/paperpull-extract" ] || fail "programs not executable"
# Nothing of the build or the tests travels with the package.
extra="$(cd "$root" && find . -type f | grep -Ev '^\./usr/(bin|share/(paperpull|applications|icons|man))/' || true)"
[ -z "$extra" ] || fail "unexpected files: $extra"
dpkg-deb -f "$deb" Description | grep -q '^ result page into a list of articles' || fail "description mangled"
grep -q '^Exec=paperpull$' "$root/usr/share/applications/paperpull.desktop" || fail "desktop file does not start paperpull"
zcat "$root/usr/share/man/man1/paperpull-extract.1.gz" | grep -q '^\.TH PAPERPULL-EXTRACT 1' || fail "man page unreadable"

# The installed programs run, without a display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/paperpull-extract" --help >"$scratch/help" \
  || fail "paperpull-extract --help failed"
grep -q '^usage: paperpull-extract' "$scratch/help" || fail "paperpull-extract --help printed no usage"
out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/paperpull" --version)" \
  || fail "paperpull --version failed"
[ "$out" = "Paperpull $version" ] || fail "paperpull --version printed '$out'"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/paperpull" --help | grep -q -- '--home-page URL' \
  || fail "paperpull --help does not document --home-page"
# And the installed extractor reads a result page of the demo site.
lines="$("$root/usr/bin/paperpull-extract" --url 'http://127.0.0.1:1/action/doSearch?AllField=x' \
  "$site/search/results-1.html")" || fail "paperpull-extract found nothing"
[ "$(grep -c $'\thttp://127.0.0.1:1/doi/pdf/10.1021/jacs.5c0100' <<<"$lines")" -eq 3 ] || fail "paperpull-extract read: $lines"
grep -q $'^next\thttp://127.0.0.1:1/action/doSearch?AllField=catalysis&startPage=1$' <<<"$lines" \
  || fail "no next link in: $lines"
echo "package test: $(basename "$deb") installs and runs"

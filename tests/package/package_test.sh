#!/usr/bin/env bash
# Makes the Debian package with cpack in a build tree and checks it: the control fields
# (libraries found in the binaries plus the plugin, translations, fonts, voices and dictionary
# read at run time), the files in their FHS places, the manual pages and the shell
# completion, lintian, the desktop entry and AppStream record and that they name each other;
# then installs the tree into a temporary DESTDIR and runs both programs from there.
# Usage: package_test.sh BUILD_DIR [CPACK] [CMAKE]
set -euo pipefail
build="$(cd "$1" && pwd)"
cpack="${2:-cpack}"
cmake="${3:-cmake}"

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
for program in kotonami kotonami-tool; do
    [ -x "$build/src/app/$program" ] || { echo "$build/src/app/$program is not built"; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# --- the package ---------------------------------------------------------------------------
if ! (cd "$build" && "$cpack" --config CPackConfig.cmake -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
debs=("$work"/out/kotonami_*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single .deb in ${debs[*]}"; exit 1; }
deb="${debs[0]}"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kotonami ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = text ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description"
# The package carries the version the program reports.
tool_version="$("$build/src/app/kotonami-tool" --version | awk '{print $2}')"
[ "$(field Version)" = "$tool_version" ] ||
    fail "Version '$(field Version)' but kotonami-tool --version says '$tool_version'"

# Depends: the names without version constraints, one a line.
field Depends | tr ',' '\n' | sed -e 's/(.*)//' -e 's/^ *//' -e 's/ *$//' >"$work/depends"
echo "Depends: $(field Depends)"
for needed in fonts-ipafont-mincho fonts-ipafont-gothic espeak-ng-data mecab-ipadic-utf8 \
    qt6-qpa-plugins qt6-translations-l10n libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6multimedia6 libespeak-ng1 libmecab2 libharfbuzz0b liblnk1 'libicu[0-9]+'; do
    grep -Eqx "$needed" "$work/depends" || fail "Depends lacks $needed"
done
if grep -E -- '-dev$' "$work/depends"; then fail "Depends names development packages"; fi

for recommended in qt6-wayland fcitx5-frontend-qt6; do
    field Recommends | grep -q "$recommended" || fail "Recommends lacks $recommended"
done
field Maintainer | grep -Eq '^Kotonami Project <[^@ ]+@[^@ ]+>$' || fail "Maintainer '$(field Maintainer)'"

# --- its files -----------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/listing"
for path in ./usr/bin/kotonami ./usr/bin/kotonami-tool \
    ./usr/share/kotonami/hyakunin.txt ./usr/share/kotonami/haiku.txt ./usr/share/kotonami/fonts.tsv \
    ./usr/share/man/man1/kotonami.1.gz ./usr/share/man/man1/kotonami-tool.1.gz \
    ./usr/share/bash-completion/completions/kotonami-tool \
    ./usr/share/doc/kotonami/copyright ./usr/share/doc/kotonami/changelog.gz \
    ./usr/share/applications/org.kotonami.Kotonami.desktop \
    ./usr/share/metainfo/org.kotonami.Kotonami.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/kotonami.svg \
    ./usr/share/icons/hicolor/48x48/apps/kotonami.png \
    ./usr/share/icons/hicolor/256x256/apps/kotonami.png; do
    grep -q " $path\$" "$work/listing" || fail "the package lacks $path"
done
for program in kotonami kotonami-tool; do
    grep -Eq "^-rwxr-xr-x root/root .* ./usr/bin/$program\$" "$work/listing" ||
        fail "$program is not an executable owned by root in /usr/bin"
done
# The Japanese voices go with the package when setup.sh could fetch them.
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
if [ -f "$source_dir/third_party/voices/mei_normal.htsvoice" ]; then
    for voice in mei_normal.htsvoice mei-COPYRIGHT.txt nitech_jp_atr503_m001.htsvoice m001-COPYING.txt; do
        grep -q " ./usr/share/kotonami/voices/$voice\$" "$work/listing" ||
            fail "the package lacks the voice file $voice"
    done
    grep -q 'CC-BY-3.0' "$source_dir/packaging/copyright" || fail "copyright does not credit the voices"
fi
if awk '{print $6}' "$work/listing" | grep -v '^\./usr/'; then fail "files outside /usr"; fi
if grep -q ' ./usr/lib/kotonami' "$work/listing"; then fail "files left in /usr/lib/kotonami"; fi

dpkg-deb -x "$deb" "$work/deb"
for program in kotonami kotonami-tool; do
    file -L "$work/deb/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
for collection in hyakunin.txt haiku.txt; do
    cmp -s "$build/src/app/$collection" "$work/deb/usr/share/kotonami/$collection" ||
        fail "$collection differs from the one beside the built program"
done
# The command-line tool needs no window system: no QtWidgets, no QtPrintSupport.
if ldd "$work/deb/usr/bin/kotonami-tool" | grep -E 'libQt6(Widgets|PrintSupport)'; then
    fail "kotonami-tool links QtWidgets or QtPrintSupport"
fi

# Manual pages: they format without warnings and name their program.
for page in kotonami kotonami-tool; do
    man_file="$work/deb/usr/share/man/man1/$page.1.gz"
    warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$man_file" 2>&1 >/dev/null)" || fail "man $page exits $?"
    [ -z "$warnings" ] || fail "man $page warns: $warnings"
    lexgrog "$man_file" | grep -qF "\"$page - " || fail "$page.1 has no NAME line"
done
"$(dirname "$0")/completion_test.sh" "$work/deb/usr/share/bash-completion/completions/kotonami-tool" \
    >"$work/completion.log" 2>&1 || { cat "$work/completion.log"; fail "bash completion"; }

# lintian: no errors; the warnings it may give are listed in lintian-expected.txt with why.
if command -v lintian >/dev/null; then
    lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
    if grep '^E:' "$work/lintian.log"; then fail "lintian reports errors"; fi
    sed -n -e 's/^W: kotonami[^:]*: \([^ ]*\).*/\1/p' "$work/lintian.log" | sort -u |
        while read -r tag; do
            grep -q "^$tag\b" "$(dirname "$0")/lintian-expected.txt" ||
                echo "FAIL: lintian warning $tag is not explained in lintian-expected.txt"
        done | tee "$work/lintian-unexplained"
    if [ -s "$work/lintian-unexplained" ]; then fail "unexplained lintian warnings"; fi
    echo "lintian: $(grep -c '^[EWI]:' "$work/lintian.log" || true) tags (errors, warnings, information)"
else
    echo "lintian is not installed: skipped that check"
fi

# --- desktop entry and AppStream record ----------------------------------------------------
desktop="$work/deb/usr/share/applications/org.kotonami.Kotonami.desktop"
metainfo="$work/deb/usr/share/metainfo/org.kotonami.Kotonami.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate"; }
key() { sed -n "s/^$1=//p" "$desktop"; }
exec_program="$(key Exec | awk '{print $1}')"
[ -x "$work/deb/usr/bin/$exec_program" ] || fail "Exec names '$exec_program', not in /usr/bin"
key Exec | grep -Eq ' %[fF]$' || fail "Exec passes no file"
[ -f "$work/deb/usr/share/icons/hicolor/scalable/apps/$(key Icon).svg" ] ||
    fail "no icon for Icon=$(key Icon)"
grep -q '<svg' "$work/deb/usr/share/icons/hicolor/scalable/apps/kotonami.svg" ||
    fail "the icon is not SVG"
grep -q '<launchable type="desktop-id">org.kotonami.Kotonami.desktop</launchable>' \
    "$metainfo" || fail "the metainfo does not launch the desktop entry"
grep -q '<id>org.kotonami.Kotonami</id>' "$metainfo" || fail "metainfo id is not its file name"

# --- cmake --install into a DESTDIR --------------------------------------------------------
DESTDIR="$work/root" "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
# The install holds the same paths as the package.
(cd "$work/root" && find . -mindepth 1 \( -type f -o -type l \) | sort) >"$work/installed"
awk '$1 !~ /^d/ {print $6}' "$work/listing" | sort >"$work/packaged"
diff "$work/packaged" "$work/installed" || fail "cmake --install and the package differ"

tool="$work/root/usr/bin/kotonami-tool"
# Both programs answer --help and --version without a display.
for program in kotonami kotonami-tool; do
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$work/root/usr/bin/$program" --version \
        >"$work/version" 2>&1 || fail "$program --version exits $?"
    [ "$(cat "$work/version")" = "$program $tool_version" ] ||
        fail "$program --version printed '$(cat "$work/version")'"
done
env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/kotonami" --help >"$work/help" 2>&1 ||
    fail "kotonami --help exits $?"
grep -q '^Usage: kotonami ' "$work/help" || fail "kotonami --help prints no usage"
"$tool" --help >"$work/help" 2>&1 || fail "kotonami-tool --help exits $?"
grep -q '^Usage: kotonami-tool' "$work/help" || fail "kotonami-tool --help prints no usage"
# 春過ぎて / 夏来にけらし: ten characters, twenty code page 932 bytes, two lines.
printf '春過ぎて\n夏来にけらし' >"$work/poem.txt"
counted="$("$tool" count "$work/poem.txt")" || fail "kotonami-tool count exits $?"
[ "$counted" = "$work/poem.txt	characters 10	bytes 20	lines 2" ] ||
    fail "kotonami-tool count printed '$counted'"

if [ "$failures" -gt 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "package checks passed"

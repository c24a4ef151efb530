#!/usr/bin/env bash
# Makes the Debian package with cpack in a build tree and checks it: the control fields
# (libraries found in the binaries plus the plugin, fonts, voices and dictionary read at run
# time), the files and links, the desktop entry and AppStream record and that they name each
# other; then installs the tree into a temporary DESTDIR and runs kotonami-tool from there.
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
    qt6-qpa-plugins libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6multimedia6 libespeak-ng1 libmecab2 libharfbuzz0b liblnk1 libasound2 'libicu[0-9]+'; do
    grep -Eqx "$needed" "$work/depends" || fail "Depends lacks $needed"
done
if grep -E -- '-dev$' "$work/depends"; then fail "Depends names development packages"; fi

dpkg-deb -I "$deb" postrm >"$work/postrm" 2>/dev/null || fail "no postrm script"
sh -n "$work/postrm" || fail "postrm is not valid sh"

# --- its files -----------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/listing"
program_dir=./usr/lib/kotonami
for path in "$program_dir/kotonami" "$program_dir/kotonami-tool" "$program_dir/hyakunin.txt" \
    "$program_dir/haiku.txt" "$program_dir/fonts.tsv" \
    ./usr/share/applications/org.kotonami.Kotonami.desktop \
    ./usr/share/metainfo/org.kotonami.Kotonami.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/kotonami.svg; do
    grep -q " $path\$" "$work/listing" || fail "the package lacks $path"
done
for program in kotonami kotonami-tool; do
    grep -q " ./usr/bin/$program -> ../lib/kotonami/$program\$" "$work/listing" ||
        fail "no link /usr/bin/$program -> ../lib/kotonami/$program"
    grep -Eq "^-rwxr-xr-x root/root .* $program_dir/$program\$" "$work/listing" ||
        fail "$program is not an executable owned by root"
done
if awk '{print $6}' "$work/listing" | grep -v '^\./usr/'; then fail "files outside /usr"; fi

dpkg-deb -x "$deb" "$work/deb"
for program in kotonami kotonami-tool; do
    file -L "$work/deb/usr/lib/kotonami/$program" | grep -q ', stripped' ||
        fail "$program is not stripped"
done
for collection in hyakunin.txt haiku.txt; do
    cmp -s "$build/src/app/$collection" "$work/deb/usr/lib/kotonami/$collection" ||
        fail "$collection differs from the one beside the built program"
done

# --- desktop entry and AppStream record ----------------------------------------------------
desktop="$work/deb/usr/share/applications/org.kotonami.Kotonami.desktop"
metainfo="$work/deb/usr/share/metainfo/org.kotonami.Kotonami.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate"; }
key() { sed -n "s/^$1=//p" "$desktop"; }
exec_program="$(key Exec | awk '{print $1}')"
[ -L "$work/deb/usr/bin/$exec_program" ] || fail "Exec names '$exec_program', not in /usr/bin"
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

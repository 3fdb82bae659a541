#!/usr/bin/env bash
# The Debian package of a build (its cpack configuration): the files it installs with their modes, the
# icons' sizes, the desktop entry (desktop-file-validate), the AppStream metainfo (appstreamcli), the manual
# pages (man --warnings), the computed dependencies, and lintian without errors.
# usage: package_test.sh BUILD_DIR VERSION
set -uo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
check() {  # NAME COMMAND...: one check, its output shown when it fails
    local name=$1
    shift
    if out=$("$@" 2>&1); then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n%s\n' "$name" "$out"
    fi
}

if ! (cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "0 passed, 1 failed"
    exit 1
fi
deb=$(ls "$work"/out/korvelux_"$version"_*.deb 2>/dev/null)
if [ -z "$deb" ]; then
    cat "$work/cpack.log"
    echo "no korvelux_${version}_*.deb was made"
    echo "0 passed, 1 failed"
    exit 1
fi
dpkg-deb -x "$deb" "$work/root"

sizes="16 22 24 32 48 64 128 256"
expected_files() {
    printf '%s\n' ./usr/bin/korvelux ./usr/bin/korvelux-ctl ./usr/bin/korvelux-sim \
        ./usr/share/applications/korvelux.desktop ./usr/share/doc/korvelux/changelog.gz \
        ./usr/share/doc/korvelux/copyright ./usr/share/man/man1/korvelux-ctl.1.gz \
        ./usr/share/man/man1/korvelux-sim.1.gz ./usr/share/man/man1/korvelux.1.gz \
        ./usr/share/metainfo/com.korvelux.Control.metainfo.xml
    for size in $sizes; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/korvelux.png"; done
}
files_with_modes() {
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3
}
expected_modes() {
    expected_files | sort | while read -r file; do
        case $file in
        ./usr/bin/*) echo "-rwxr-xr-x root/root $file" ;;
        *) echo "-rw-r--r-- root/root $file" ;;
        esac
    done
}
check "the package holds exactly the programs and their files, owned by root" \
    diff <(expected_modes) <(files_with_modes)
check "no directory outside /usr" sh -c "! dpkg-deb -c '$deb' | awk '{print \$6}' | grep -v '^\./\$' | grep -v '^\./usr/'"

icon_sizes() {
    for size in $sizes; do
        file -b "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/korvelux.png" |
            grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || echo "icon $size: wrong size or kind"
    done
}
check "each icon is an RGBA PNG of its size" test -z "$(icon_sizes)"

check "desktop-file-validate" desktop-file-validate "$work/root/usr/share/applications/korvelux.desktop"
check "the menu entry starts korvelux with its icon in AudioVideo and Video" \
    grep -qxF -e "Exec=korvelux" "$work/root/usr/share/applications/korvelux.desktop"
check "categories" grep -qxF "Categories=AudioVideo;Video;" "$work/root/usr/share/applications/korvelux.desktop"
check "icon name" grep -qxF "Icon=korvelux" "$work/root/usr/share/applications/korvelux.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
    "$work/root/usr/share/metainfo/com.korvelux.Control.metainfo.xml"
check "the metainfo's release is the package's version" \
    grep -qF "<release version=\"$version\"" "$work/root/usr/share/metainfo/com.korvelux.Control.metainfo.xml"

for page in korvelux korvelux-ctl korvelux-sim; do
    manpage="$work/root/usr/share/man/man1/$page.1.gz"
    check "man page $page without warnings" sh -c "test -z \"\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '$manpage' 2>&1 >/dev/null)\""
    check "man page $page has its sections" sh -c "LC_ALL=C.UTF-8 MANWIDTH=80 man -l '$manpage' 2>/dev/null |
        grep -q '^NAME' && LC_ALL=C.UTF-8 MANWIDTH=80 man -l '$manpage' 2>/dev/null | grep -q '^EXIT STATUS' &&
        LC_ALL=C.UTF-8 MANWIDTH=80 man -l '$manpage' 2>/dev/null | grep -q '^EXAMPLES'"
done
# Every option that a program's --help names is in its manual page.
options_missing() {
    local page=$1
    shift
    local text
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$work/root/usr/share/man/man1/$page.1.gz" 2>/dev/null)
    "$@" 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u | while read -r option; do
        grep -qF -- "$option" <<<"$text" || echo "$page: $option"
    done
}
check "korvelux's options are all in its page" test -z "$(options_missing korvelux "$build/src/korvelux" --help)"
check "korvelux-ctl's options are all in its page" test -z "$(options_missing korvelux-ctl "$build/tools/korvelux-ctl" --help)"
check "korvelux-sim's options are all in its page" test -z "$(options_missing korvelux-sim "$build/tools/korvelux-sim" --help)"

# The package names of the Depends field, one a line.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{print $1}')
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
    check "depends on $dependency" grep -qxF "$dependency" <<<"$depends"
done
check "version, section and architecture" test "$(dpkg-deb -f "$deb" Version Section Architecture)" = \
    "$(printf 'Version: %s\nSection: video\nArchitecture: %s' "$version" "$(dpkg --print-architecture)")"

lintian_out=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1)
lintian_status=$?
printf '%s\n' "$lintian_out"
check "lintian shows no errors" test "$lintian_status" -eq 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

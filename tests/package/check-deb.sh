#!/usr/bin/env bash
# Builds the Debian package from the build folder with cpack (as `make deb` does) and checks it:
# its files, its dependencies, the desktop entry and AppStream metadata, the unpacked programs'
# --version, and lintian. A check whose tool is missing is skipped with a message, and the whole
# test then reports a skip (77) if everything else passed.
# Usage: check-deb.sh <build folder> <version>
set -uo pipefail
build_dir=$1
version=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/quillory-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
skipped=()
fail() {
    echo "package: FAILED: $*" >&2
    failures=$((failures + 1))
}
have() {
    command -v "$1" >/dev/null && return 0
    skipped+=("$1 (from $2)")
    return 1
}

for tool in dpkg-deb dpkg-shlibdeps cpack; do
    if ! command -v "$tool" >/dev/null; then
        echo "package: SKIPPED: $tool is not installed (dpkg-dev, cmake); scripts/install-deps installs it"
        exit 77
    fi
done

if ! (cd "$build_dir" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1); then
    sed 's/^/  cpack: /' "$work/cpack.log" >&2
    fail "cpack could not build the package"
    exit 1
fi
deb=$work/quillory_${version}_amd64.deb
[ -f "$deb" ] || { fail "no $(basename "$deb") in: $(ls "$work")"; exit 1; }

dpkg-deb --contents "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/contents"
expected=(
    /usr/bin/quillory /usr/bin/quillory-quote
    /usr/share/applications/quillory.desktop
    /usr/share/metainfo/example.korvant.quillory.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/quillory.svg
    /usr/share/man/man1/quillory.1.gz /usr/share/man/man1/quillory-quote.1.gz
    /usr/share/doc/quillory/copyright /usr/share/doc/quillory/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/quillory.png")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done

depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libssl3 libc6 libqt6svg6 qt6-qpa-plugins; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library (shlibdeps): $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for size in 16 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/quillory.png
    # Bytes 16-23 of a PNG hold its width and height, big-endian.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3 * 256 + $4, $7 * 256 + $8}')
    [ "$width x $height" = "$size x $size" ] || fail "the ${size}x${size} icon is $width x $height"
done

if have desktop-file-validate desktop-file-utils; then
    desktop-file-validate "$root/usr/share/applications/quillory.desktop" >"$work/desktop.log" 2>&1 ||
        fail "desktop-file-validate: $(cat "$work/desktop.log")"
    grep -qx 'Categories=Office;Finance;' "$root/usr/share/applications/quillory.desktop" ||
        fail "the desktop entry's categories are not Office;Finance;"
fi
if have appstreamcli appstream; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/example.korvant.quillory.metainfo.xml" \
        >"$work/appstream.log" 2>&1 || fail "appstreamcli validate: $(cat "$work/appstream.log")"
fi

# The unpacked programs, without a display for quillory-quote and with the offscreen one for quillory.
for program in quillory quillory-quote; do
    answer=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/$program" --version 2>"$work/$program.err")
    [ "$answer" = "Quillory $version" ] || fail "$program --version said \"$answer\": $(cat "$work/$program.err")"
done

if have lintian lintian; then
    lintian --fail-on error --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1
    status=$?
    grep -E '^[EW]: ' "$work/lintian.log" | sed 's/^/package: lintian: /'
    [ "$status" -eq 0 ] || fail "lintian reports errors"
fi

[ "$failures" -eq 0 ] || exit 1
if [ ${#skipped[@]} -gt 0 ]; then
    echo "package: SKIPPED some checks, tools missing: ${skipped[*]}; scripts/install-deps installs them"
    exit 77
fi
echo "package: passed ($(basename "$deb"), $(grep -c . "$work/contents") paths)"

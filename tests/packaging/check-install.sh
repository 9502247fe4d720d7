#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, as a package or `cmake --install` would, runs the
# installed programs and checks that the files desktops and man look for are in place and valid.
#   check-install.sh BUILD_DIR PREFIX APP_ID VERSION
set -euo pipefail
build=$1 prefix=$2 id=$3 version=$4
fail() { echo "check-install: $*" >&2; exit 1; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

export QT_QPA_PLATFORM=offscreen
[[ $("$prefix/bin/teacher-client" --version) == "teacher-client $version" ]] ||
    fail "installed teacher-client --version does not say $version"
[[ $("$prefix/bin/teacher-call" --version) == "teacher-call $version" ]] ||
    fail "installed teacher-call --version does not say $version"
"$prefix/bin/reading-service" --help | grep -q -- --fixed-code ||
    fail "installed reading-service --help lists no options"

for file in "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    "share/icons/hicolor/scalable/apps/$id.svg" "share/icons/hicolor/256x256/apps/$id.png" \
    share/man/man1/{teacher-client,teacher-call,reading-service}.1.gz \
    lib/systemd/user/reading-service.service; do
    [[ -s $prefix/$file ]] || fail "$file is not installed"
done
file "$prefix/share/icons/hicolor/256x256/apps/$id.png" | grep -q "PNG image data, 256 x 256" ||
    fail "the bitmap icon is not a 256x256 PNG"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml")"

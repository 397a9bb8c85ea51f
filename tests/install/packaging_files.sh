#!/usr/bin/env bash
# The hand-written desktop entry, AppStream metainfo, icon and man pages pass the
# validators that distributions run on them.
# Usage: packaging_files.sh SOURCE_DIR BUILD_DIR (the metainfo is made by the build)
set -euo pipefail
metainfo=$(ls "$2"/packaging/*.metainfo.xml)
cd "$1"
export LC_ALL=C.UTF-8

desktop-file-validate packaging/*.desktop
appstreamcli validate --no-net --pedantic "$metainfo" >/dev/null ||
    appstreamcli validate --no-net --pedantic "$metainfo"
xmllint --noout packaging/*.svg
for page in man/*.1; do
    mandoc -Tlint "$page"
    warnings=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
    lexgrog "$page" >/dev/null  # the NAME line that whatis and apropos read
done
echo "ok"

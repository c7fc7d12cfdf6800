#!/bin/sh
# Zips the files under FOLDER into ZIP so that the same files give the same bytes wherever and
# whenever they are zipped: entries in the order of their names, every one stamped with
# SOURCE_DATE_EPOCH (in UTC) and readable by all, no folder entries, no extra fields (owner,
# access and change times).
# usage: reproducible-zip.sh FOLDER ZIP
set -eu
folder="$1"
zip="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
: "${SOURCE_DATE_EPOCH:?is not set: the zip would carry the time of today}"

cd "$folder"
find . -type d -exec chmod 755 {} + && find . -type f -exec chmod 644 {} +
find . -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$zip"
find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip" -@

#!/bin/sh
# Compresses file $1 into $2 as Debian wants manual pages and changelogs: gzip -9, with no
# name or date inside, so the same source always gives the same bytes.
set -e
gzip -9n <"$1" >"$2.nuevo"
mv "$2.nuevo" "$2"

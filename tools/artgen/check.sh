#!/bin/sh
# Fails when the committed pictures are not what the generator draws, or when
# two runs of the generator disagree.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
art=$(cd "$here/../../resources/art" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$here/artgen.py" "$tmp/a"
python3 "$here/artgen.py" "$tmp/b"
status=0
for f in "$tmp"/a/*; do
    name=$(basename "$f")
    if ! cmp -s "$f" "$tmp/b/$name"; then
        echo "not reproducible: $name"
        status=1
    fi
    if ! cmp -s "$f" "$art/$name"; then
        echo "differs from the generator: resources/art/$name"
        status=1
    fi
done
for f in "$art"/*; do
    if [ ! -e "$tmp/a/$(basename "$f")" ]; then
        echo "not made by the generator: resources/art/$(basename "$f")"
        status=1
    fi
done
exit $status

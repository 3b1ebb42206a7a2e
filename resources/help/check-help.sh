#!/bin/bash
# Usage: check-help.sh BriskJot.chm BriskJot.hhp NUMBER...
#
# Checks the compiled help file against its project: every source file, the contents,
# the index and the popup topics are inside it, no link points outside it, and every
# help number the program asks for leads to a topic, both through the project's [MAP]
# and [ALIAS] (read by the rules of the program's own context-map builder) and through
# the context table compiled into the file.
set -u

chm=$1
hhp=$2
shift 2
wanted=("$@")
src=$(dirname "$hhp")
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -f "$chm" ] || { echo "FAIL: $chm does not exist" >&2; exit 1; }
chmls -n list "$chm" 2>/dev/null | grep '^/' | sort -u >"$work/inside"
[ -s "$work/inside" ] || { echo "FAIL: chmls lists nothing in $chm" >&2; exit 1; }

declare -A in_chm
while read -r entry; do in_chm[$entry]=1; done <"$work/inside"

inside() {
    [ -n "${in_chm["/${1#/}"]:-}" ]
}

# Lines of one section, trimmed, blank lines and ';' comments dropped.
section() {
    tr -d '\r' <"$hhp" | awk -v want="[$1]" '
        { sub(/^[ \t]+/, ""); sub(/[ \t]+$/, "") }
        /^\[/ { on = (toupper($0) == toupper(want)); next }
        on && $0 != "" && substr($0, 1, 1) != ";"'
}

option() {
    section OPTIONS | awk -F= -v key="$1" 'tolower($1) == tolower(key) { print substr($0, length($1) + 2) }'
}

# Files the project names, and every topic and style sheet beside it.
for key in "Contents file" "Index file" "Default topic"; do
    value=$(option "$key")
    if [ -z "$value" ]; then
        fail "[OPTIONS] has no '$key'"
    elif ! inside "$value"; then
        fail "$key $value is not in the compiled file"
    fi
done

# What the viewer reads to find the contents, the index and the first page.
chmls printsystem "$chm" 2>/dev/null | tr -d '\r\000' >"$work/system"
for key in "Contents file" "Index file" "Default topic" "Title"; do
    compiled=$(awk -v key="$key from [options]" 'index($0, key) {
        v = substr($0, index($0, ":") + 1); sub(/[ \t]+$/, "", v); print v }' "$work/system")
    [ "$compiled" = "$(option "$key")" ] ||
        fail "the compiled file's $key is '$compiled', not '$(option "$key")'"
done
[ "$(option "Compiled file")" = "$(basename "$chm")" ] ||
    fail "[OPTIONS] 'Compiled file' does not name $(basename "$chm")"

while read -r file; do
    inside "$file" || fail "[FILES] entry $file is not in the compiled file"
done < <(section FILES)

for path in "$src"/*.htm "$src"/*.css "$src"/CSHelp.txt; do
    [ -e "$path" ] || continue
    inside "${path##*/}" || fail "${path##*/} is not in the compiled file"
done

# Every link and picture stays inside the file; the home site is the one way out.
pages=("$src"/*.htm "$src"/*.hhc "$src"/*.hhk)
while IFS= read -r path; do
    fail "${path##*/} contains a script"
done < <(grep -li '<script' "${pages[@]}")
while IFS= read -r found; do
    name=${found%%:*}
    name=${name##*/}
    target=${found#*:}
    target=${target%\"}
    target=${target##*\"}
    case "$target" in
    https://briskjot.example.org/ | '#'*) ;;
    *://* | mailto:*) fail "$name links outside the help file: $target" ;;
    *) inside "${target%%#*}" || fail "$name links to missing ${target%%#*}" ;;
    esac
done < <(grep -oiHE '(href|src)="[^"]*"|name="Local" value="[^"]*"' "${pages[@]}")

# Help numbers through the project, read as the program's builder reads it: an empty
# line ends [MAP]; "#define" drops the first eight characters; the name ends at blank,
# tab or "="; "#" or ";" ends the line.
tr -d '\r' <"$hhp" | awk '
    { sub(/^[ \t\r\n]+/, ""); sub(/[ \t\r\n]+$/, "") }
    inmap && $0 != "" {
        if (substr($0, 1, 1) == "[") exit
        if (tolower(substr($0, 1, 8)) == "#include") { print "INCLUDE"; next }
        line = $0
        if (tolower(substr(line, 1, 7)) == "#define") line = substr(line, 9)
        name = ""; number = ""; ended = 0
        for (i = 1; i <= length(line); i++) {
            c = substr(line, i, 1)
            if (c == "#" || c == ";") break
            if (c == " " || c == "\t") { if (name != "") ended = 1; continue }
            if (c == "=") { ended = 1; continue }
            if (ended) number = number c; else name = name c
        }
        if (name != "" && number ~ /^[+-]?[0-9]+$/) print toupper(name), number + 0
        next
    }
    { inmap = (toupper(substr($0, 1, 5)) == "[MAP]") }
' >"$work/map"

grep -q '^INCLUDE$' "$work/map" && fail "[MAP] uses #include, which this check does not follow"
section ALIAS | awk -F= '{ n = $1; sub(/[ \t]+$/, "", n); v = substr($0, index($0, "=") + 1)
                           sub(/^[ \t]+/, "", v); print toupper(n), v }' >"$work/alias"

declare -A topic_of
for number in "${wanted[@]}"; do
    names=$(awk -v n="$number" '$2 == n { print $1 }' "$work/map")
    count=$(printf '%s' "$names" | grep -c .)
    if [ "$count" -ne 1 ]; then
        fail "help number $number has $count [MAP] entries"
        continue
    fi
    file=$(awk -v n="$names" '$1 == n { print $2 }' "$work/alias")
    if [ -z "$file" ]; then
        fail "help number $number: $names has no [ALIAS] entry"
    elif ! inside "$file"; then
        fail "help number $number: $names names $file, which is not in the compiled file"
    else
        topic_of[$number]=$file
    fi
    grep -qx "\.topic $names" "$src/CSHelp.txt" ||
        fail "help number $number: CSHelp.txt has no .topic $names"
done

mapped=$(awk '{ print $2 }' "$work/map" | sort -n | tr '\n' ' ')
expected=$(printf '%s\n' "${wanted[@]}" | sort -n | tr '\n' ' ')
[ "$mapped" = "$expected" ] || fail "[MAP] gives the numbers ${mapped}instead of exactly $expected"

# Help numbers through the context table compiled into the file, which the viewer uses.
ln -s "$(cd "$(dirname "$chm")" && pwd)/$(basename "$chm")" "$work/help.chm"
(cd "$work" && chmls extractalias help.chm help ctx >/dev/null 2>&1)
ali=$work/help.ali
if [ ! -s "$ali" ]; then
    fail "the compiled file has no context table"
else
    for number in "${wanted[@]}"; do
        target=$(tr -d '\r' <"$ali" | awk -F= -v n="$number" '
            { id = $1; sub(/^[^0-9]*/, "", id) } id == n { print substr($0, index($0, "=") + 1) }')
        target=${target#/}
        if [ -z "$target" ]; then
            fail "the compiled context table lacks help number $number"
        elif ! inside "$target"; then
            fail "the compiled context table sends $number to $target, which is not in the file"
        elif [ -n "${topic_of[$number]:-}" ] &&
            [ "${target,,}" != "${topic_of[$number],,}" ]; then
            fail "help number $number opens $target in the compiled file but ${topic_of[$number]} in the project"
        fi
    done
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures problem(s) in $chm" >&2
    exit 1
fi
echo "help file OK: $(grep -c . "$work/inside") entries; numbers ${expected}open their topics"

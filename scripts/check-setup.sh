#!/usr/bin/env bash
# Checks that scripts/setup.sh installs everything the build reads, so that a machine which
# happens to have a package already cannot hide a missing install step. Every file under /usr
# that a build folder read (the headers in the compilers' dependency records of every target,
# the libraries on every link line of build.ninja, the CMake files the configure step loaded)
# must belong to a package that setup.sh installs, to one of their Depends or Pre-Depends
# (recursively), or to an essential package or its dependencies. Any other file fails the
# script, named with the package it belongs to.
# usage: scripts/check-setup.sh [BUILD_DIR...]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

builds=("$@")
((${#builds[@]} > 0)) || builds=(build)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- what the builds read ------------------------------------------------------------------
for build in "${builds[@]}"; do
    [ -f "$build/build.ninja" ] || { echo "check-setup: $build/build.ninja is missing (build first)" >&2; exit 2; }
    # The headers each object was compiled from, as the compilers' dependency files gave them.
    ninja -C "$build" -t deps | awk '/^    /{ print $1 }'
    # The libraries of every link line, and the CMake files that the configure step read (the
    # inputs of the rule that runs CMake again).
    awk '
        /^ *LINK_LIBRARIES = / { for (i = 3; i <= NF; ++i) print $i }
        /^build build.ninja/ { reading = 1 }
        reading { for (i = 1; i <= NF; ++i) print $i; if ($NF != "$") reading = 0 }
    ' "$build/build.ninja" | sort -u | while IFS= read -r word; do
        case $word in
            # A library named by -l is the one the linker finds, as it finds it.
            -l*) ${CXX:-c++} -print-file-name="lib${word#-l}.so" ;;
            *) sed -n 's/^\(-Wl,\)\{0,1\}\(\/usr\/[^,:]*\).*/\2/p' <<< "$word" ;;
        esac
    done
done | grep '^/usr/' | sort -u > "$work/read"
# Paths as the compilers wrote them (with "..") made plain, without following links.
xargs -r -d '\n' realpath -s -m -- < "$work/read" | grep '^/usr/' | sort -u > "$work/files"

# --- the packages that may own them ---------------------------------------------------------
mapfile -t installed < <(scripts/setup.sh --packages)
mapfile -t essential < <(dpkg-query -W -f='${Package} ${Essential}\n' | awk '$2 == "yes" { print $1 }')
# Depends and Pre-Depends only: what apt installs with --no-install-recommends. Every name in
# the output counts, also each alternative and each package that provides a virtual one.
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances "${installed[@]}" "${essential[@]}" |
    sed -e 's/^ *|\{0,1\}\(Pre\)\{0,1\}Depends: *//' -e 's/^ *//' -e 's/[<>]//g' -e 's/:.*//' |
    sort -u > "$work/allowed"

# --- owners ---------------------------------------------------------------------------------
# dpkg names a file by the path its package ships it under: with /usr merged into /, a library
# read as /usr/lib/x may be shipped as /lib/x, and a link's target may be the one shipped. Each
# file is looked up under those names in dpkg's lists of files (what `dpkg -S` reads), in order.
xargs -r -d '\n' realpath -m -- < "$work/files" > "$work/resolved"
paste "$work/files" "$work/resolved" | awk -F '\t' '{
    n = split($1 "\t" $2, c, "\t")
    for (i = 1; i <= n; ++i) { print $1 "\t" c[i]; if (c[i] ~ /^\/usr\//) print $1 "\t" substr(c[i], 5) }
}' > "$work/candidates"
shopt -s nullglob
lists=(/var/lib/dpkg/info/*.list)
awk -F '\t' -v allowedFile="$work/allowed" '
    FILENAME == allowedFile { allowed[$1] = 1; next }
    FILENAME ~ /candidates$/ { files[$1] = 1; order[$1] = order[$1] "\t" $2; wanted[$2] = 1; next }
    FNR == 1 { package = FILENAME; sub(/.*\//, "", package); sub(/\.list$/, "", package); sub(/:.*/, "", package) }
    ($0 in wanted) { owners[$0] = owners[$0] (owners[$0] == "" ? "" : ",") package }
    END {
        for (file in files) {
            n = split(substr(order[file], 2), c, "\t")
            found = ""
            for (i = 1; i <= n && found == ""; ++i) if (c[i] in owners) found = owners[c[i]]
            if (found == "") { print "unowned\t" file; continue }
            ok = 0
            m = split(found, p, ",")
            for (i = 1; i <= m; ++i) if (p[i] in allowed) ok = 1
            print (ok ? "ok" : "foreign") "\t" file "\t" found
        }
    }
' "$work/allowed" "$work/candidates" "${lists[@]}" | sort > "$work/owners"

checked=$(wc -l < "$work/owners")
failures=0
while IFS=$'\t' read -r state file owners; do
    case $state in
        ok) ;;
        unowned)
            # Diverted files are missing from the lists: ask dpkg itself before giving up.
            if owners=$(dpkg -S -- "$file" 2>/dev/null | grep -v '^diversion' | head -n 1 | sed 's/: .*//'); [ -n "$owners" ]; then
                if tr ', ' '\n\n' <<< "$owners" | sed 's/:.*//' | grep -qxFf - "$work/allowed"; then continue; fi
                echo "check-setup: $file belongs to $owners, which scripts/setup.sh does not install"
            else
                echo "check-setup: $file belongs to no package"
            fi
            failures=$((failures + 1)) ;;
        foreign)
            echo "check-setup: $file belongs to $owners, which scripts/setup.sh does not install"
            failures=$((failures + 1)) ;;
    esac
done < "$work/owners"

if ((failures > 0)); then
    echo "check-setup: $failures of $checked files read by the build come from packages scripts/setup.sh does not install"
    exit 1
fi
echo "check-setup: all $checked files under /usr read by ${builds[*]} come from packages scripts/setup.sh installs"

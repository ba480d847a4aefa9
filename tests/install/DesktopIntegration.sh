#!/usr/bin/env bash
# Checks the installed desktop integration as the desktop's own tools read it: the menu entry
# validates, names an installed program and icon, and opens the MIME type that the installed
# type definition gives to *.opt files.
# usage: DesktopIntegration.sh PREFIX WORK_DIR
set -euo pipefail
prefix="$1" work="$2"
share="$prefix/share"
desktop="$share/applications/optvexlor.desktop"
fail() { echo "$*"; exit 1; }

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects optvexlor.desktop"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ -x "$prefix/bin/$(key Exec | cut -d' ' -f1)" ] || fail "Exec names no installed program"
[ -f "$share/icons/hicolor/scalable/apps/$(key Icon).svg" ] || fail "Icon names no installed icon"
xmllint --noout "$share/icons/hicolor/scalable/apps/$(key Icon).svg" || fail "the icon is not well-formed SVG"

# The type definition, compiled into a MIME database of its own as the system would do it.
xmllint --noout "$share/mime/packages/optvexlor.xml" || fail "the MIME type is not well-formed XML"
rm -rf "$work" && mkdir -p "$work/mime/packages" "$work/applications"
cp "$share/mime/packages/optvexlor.xml" "$work/mime/packages/"
XDG_DATA_DIRS="$work" update-mime-database "$work/mime" 2>"$work/mime.log" || fail "update-mime-database failed"
[ ! -s "$work/mime.log" ] || { cat "$work/mime.log"; fail "update-mime-database complained"; }
type=$(key MimeType | tr -d ';')
case "${type%%/*}" in
    application | audio | font | image | model | text | video) ;;
    *) fail "$type is not of a registered top-level media type" ;;
esac
[ -f "$work/mime/$type.xml" ] || fail "the MIME database has no type $type"
grep -qx "50:$type:\*\.opt" "$work/mime/globs2" || fail "*.opt is not given the type $type"

# The desktop's list of programs per type offers OPT Vexlor for it.
cp "$desktop" "$work/applications/"
update-desktop-database "$work/applications"
grep -q "^$type=.*optvexlor.desktop" "$work/applications/mimeinfo.cache" ||
    fail "the desktop's type list does not offer optvexlor.desktop for $type"
# The thumbnailer entry names the installed program, takes the convention's %i %o %s, and draws
# the same type.
thumbnailer="$share/thumbnailers/optvexlor.thumbnailer"
grep -qx '\[Thumbnailer Entry\]' "$thumbnailer" || fail "optvexlor.thumbnailer has no [Thumbnailer Entry]"
tkey() { sed -n "s/^$1=//p" "$thumbnailer"; }
[ -x "$prefix/bin/$(tkey TryExec)" ] || fail "the thumbnailer's TryExec names no installed program"
[ "$(tkey Exec)" = "$(tkey TryExec) --thumbnail %i %o %s" ] || fail "the thumbnailer's Exec is $(tkey Exec)"
[ "$(tkey MimeType)" = "$type;" ] || fail "the thumbnailer draws $(tkey MimeType), not $type"
echo "desktop entry, icon, thumbnailer and the MIME type $type fit together"

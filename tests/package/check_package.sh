#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian package from an already built tree and checks it: name, fields, the runtime
# packages it depends on, exactly the files it installs, that its programs run, that Debian's
# and the desktop's checkers find nothing to say, and that its documents agree with the programs.
#   check_package.sh CPACK BUILD-DIR VERSION PLAN.xml BUILD-TYPE [PLAN.mpp]
# PLAN.mpp, a binary plan, is read by the packaged nerin-cli too when it is there.
set -euo pipefail
cpack="$1"; build="$2"; version="$3"; plan="$4"; build_type="${5:-RelWithDebInfo}"; binary_plan="${6:-}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package: $*" >&2
  exit 1
}

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack failed"
fi
arch=$(dpkg --print-architecture)
deb="$work/out/nerin-viewer_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "nerin-viewer" ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

depends=$(field Depends)
for p in libqt6widgets6 libqt6gui6 libqt6core6 libexpat1 libcurl4 libpng16-16 zlib1g; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
if grep -Eq -- '-dev( |,|$)' <<<"$depends"; then
  fail "Depends names a development package: $depends"
fi

# Everything but folders, owned by root; the programs executable by all.
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)
expected=$(
  {
    echo ./usr/bin/nerin-cli
    echo ./usr/bin/nerin-viewer
    echo ./usr/share/applications/nerin-viewer.desktop
    echo ./usr/share/doc/nerin-viewer/changelog.gz
    echo ./usr/share/doc/nerin-viewer/copyright
    echo ./usr/share/man/man1/nerin-cli.1.gz
    echo ./usr/share/man/man1/nerin-viewer.1.gz
    echo ./usr/share/metainfo/invalid.nerin_viewer.planviewer.metainfo.xml
    echo ./usr/share/mime/packages/nerin-viewer.xml
    for size in 16 32 48 64 128 256; do
      echo "./usr/share/icons/hicolor/${size}x${size}/apps/nerin-viewer.png"
    done
    echo ./usr/share/icons/hicolor/scalable/apps/nerin-viewer.svg
  } | sort
)
if [ "$files" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$files") >&2 || true
  fail "the package does not hold exactly the expected files (< expected, > found)"
fi
if awk '{ print $2 }' <<<"$listing" | grep -vqx 'root/root'; then
  fail "files not owned by root"
fi
for program in nerin-cli nerin-viewer; do
  grep -Eq "^-rwxr-xr-x .*\./usr/bin/$program\$" <<<"$listing" || fail "$program is not executable by all"
done

# The programs as installed: no path into the build tree, and the command-line tool reads a plan.
dpkg-deb -x "$deb" "$work/root"
for program in nerin-cli nerin-viewer; do
  if readelf -d "$work/root/usr/bin/$program" | grep -E 'RPATH|RUNPATH' | grep -qF "$build"; then
    fail "$program looks for libraries in the build tree"
  fi
done
# lintian looks for the fortified calls, relro, now and PIE, but not for the stack protector.
for program in nerin-cli nerin-viewer; do
  # (grep reads it all: with -q it would stop early and break readelf's pipe.)
  readelf -W --dyn-syms "$work/root/usr/bin/$program" | grep -F __stack_chk_fail >/dev/null ||
    fail "$program is built without the stack protector"
done
report=$("$work/root/usr/bin/nerin-cli" report "$plan") || fail "the packaged nerin-cli did not load $plan"
[ -n "$report" ] || fail "the packaged nerin-cli printed no report"
if [ -n "$binary_plan" ] && [ -f "$binary_plan" ]; then
  "$work/root/usr/bin/nerin-cli" report "$binary_plan" >/dev/null ||
    fail "the packaged nerin-cli did not load $binary_plan"
fi

# Debian's own checks. Every hint counts, down to the pedantic and informational ones; only an
# unoptimised build lacks the fortified C library calls by design.
for tool in lintian appstreamcli desktop-file-validate dpkg-parsechangelog man; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (tools/install-deps.sh installs it)"
done
lintian --pedantic --info --display-experimental "$deb" >"$work/lintian.log" 2>&1 || true
hints=$(grep -E '^[EWIPX]: ' "$work/lintian.log" || true)
if [ "$build_type" = "Debug" ]; then
  hints=$(grep -v ' hardening-no-fortify-functions ' <<<"$hints" || true)
fi
if [ -n "$hints" ]; then
  cat "$work/lintian.log" >&2
  fail "lintian found fault with the package"
fi

# The menu entry, the AppStream metadata and the icons as installed, together. The component ID
# lies under the reserved .invalid domain, which the validator does not know: that note, and
# only it, is expected.
if ! appstreamcli validate-tree --no-net --pedantic "$work/root" >"$work/appstream.log" 2>&1; then
  cat "$work/appstream.log" >&2
  fail "appstreamcli rejects the installed metadata"
fi
if grep -E '^ *[EWIP]: ' "$work/appstream.log" | grep -v ' cid-maybe-not-rdns ' | grep -q .; then
  cat "$work/appstream.log" >&2
  fail "appstreamcli found fault with the installed metadata"
fi
entry=$(desktop-file-validate "$work/root/usr/share/applications/nerin-viewer.desktop" 2>&1) || true
[ -z "$entry" ] || fail "desktop-file-validate: $entry"
# The plan types the viewer opens, offered by the menu entry and declared by the MIME package:
# the XML export and the product's own .mpp files.
for type in application/x-ms-project-xml application/vnd.ms-project; do
  grep -Eq "^MimeType=(.*;)?$type;" "$work/root/usr/share/applications/nerin-viewer.desktop" ||
    fail "the menu entry does not offer $type"
  grep -qF "<mime-type type=\"$type\">" "$work/root/usr/share/mime/packages/nerin-viewer.xml" ||
    fail "the MIME package does not declare $type"
done
grep -qF '<glob pattern="*.mpp"/>' "$work/root/usr/share/mime/packages/nerin-viewer.xml" ||
  fail "the MIME package does not claim *.mpp"

# One version everywhere: the package, the changelog, the AppStream release and the programs.
zcat "$work/root/usr/share/doc/nerin-viewer/changelog.gz" >"$work/changelog"
logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$logged" = "$version" ] || fail "the changelog's latest entry is $logged, the package $version"
metainfo="$work/root/usr/share/metainfo/invalid.nerin_viewer.planviewer.metainfo.xml"
released=$(grep -o -m 1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$released" = "$version" ] || fail "the AppStream metadata's latest release is $released, the package $version"
said=$("$work/root/usr/bin/nerin-cli" --version)
grep -qF "$version" <<<"$said" || fail "nerin-cli --version says $said, not $version"

# Every command that nerin-cli's usage names is in the synopsis of its manual page.
manual=$(MANWIDTH=200 man -l "$work/root/usr/share/man/man1/nerin-cli.1.gz" 2>/dev/null |
  sed -n '/^SYNOPSIS/,/^DESCRIPTION/p')
commands=$("$work/root/usr/bin/nerin-cli" --help | sed -n 's/^  nerin-cli \([^ ,|]*\).*/\1/p' | sort -u)
[ -n "$commands" ] || fail "nerin-cli --help names no command"
for command in $commands; do
  grep -qwF -- "$command" <<<"$manual" || fail "the synopsis of nerin-cli(1) lacks $command"
done
for page in nerin-cli nerin-viewer; do
  title=$(zcat "$work/root/usr/share/man/man1/$page.1.gz" | sed -n '/^\.TH /p')
  grep -qF "$version" <<<"$title" || fail "the manual page $page(1) does not name version $version"
done

echo "package: $(basename "$deb") checked; Depends: $depends"

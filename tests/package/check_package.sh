#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian package from an already built tree and checks it: name, fields, the runtime
# packages it depends on, exactly the files it installs, and that its programs run.
#   check_package.sh CPACK BUILD-DIR VERSION PLAN.xml
set -euo pipefail
cpack="$1"; build="$2"; version="$3"; plan="$4"

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
    echo ./usr/share/mime/packages/nerin-viewer.xml
    for size in 16 32 48 64 128 256; do
      echo "./usr/share/icons/hicolor/${size}x${size}/apps/nerin-viewer.png"
    done
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
report=$("$work/root/usr/bin/nerin-cli" report "$plan") || fail "the packaged nerin-cli did not load $plan"
[ -n "$report" ] || fail "the packaged nerin-cli printed no report"

echo "package: $(basename "$deb") checked; Depends: $depends"

#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and runs the packaged
# executable once.
set -euo pipefail
build_dir="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build_dir" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/strma usr/share/man/man1/strma.1; do
  [ -f "$work/root/$f" ] || { echo "package lacks $f"; dpkg-deb -c "$deb"; exit 1; }
done

mkdir "$work/run"
status=0
(cd "$work/run" && printf '45 10\n' | "$work/root/usr/bin/strma" >"$work/stdout" 2>"$work/stderr") || status=$?
expected=$'vreme je      3.11s  za ugao     45.00deg  sa visine     10.00m\r\n'
[ "$status" -eq 0 ] || { echo "packaged strma exited with $status"; cat "$work/stderr"; exit 1; }
[ "$(cat "$work/run/izlaz.dat"; echo x)" = "${expected}x" ] || { echo "wrong izlaz.dat"; od -c "$work/run/izlaz.dat"; exit 1; }
echo "package $(basename "$deb") installs and runs"

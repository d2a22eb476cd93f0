#!/bin/sh
# Regenerates widgets/fonts/lcd_font_tables.cpp from its freely licensed sources.
# Fetches them into a scratch folder outside the repository (default: $TMPDIR/vpt64-fontsrc):
# the Debian packages xfonts-base and pcf2bdf, and the npm packages @wokwi/elements@1.9.2 and
# char-lcd@0.1.3. Building the program needs none of this; the generated tables are committed.
set -eu

repo=$(cd "$(dirname "$0")/../.." && pwd)
scratch=${1:-${TMPDIR:-/tmp}/vpt64-fontsrc}
mkdir -p "$scratch/bdf"

missing=""
for p in xfonts-base pcf2bdf; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
    $SUDO apt-get install -y -q --no-install-recommends $missing
fi

for f in 5x7 5x8 6x9 8x13; do
    pcf2bdf -o "$scratch/bdf/$f.bdf" "/usr/share/fonts/X11/misc/$f.pcf.gz"
done

[ -f "$scratch/package.json" ] || (cd "$scratch" && npm init -y >/dev/null)
(cd "$scratch" && npm install --no-audit --no-fund --ignore-scripts \
    @wokwi/elements@1.9.2 char-lcd@0.1.3 >/dev/null)

python3 "$repo/tools/fonts/make_lcd_fonts.py" \
    --bdf-dir "$scratch/bdf" \
    --node-modules "$scratch/node_modules" \
    --output "$repo/widgets/fonts/lcd_font_tables.cpp"
echo "wrote widgets/fonts/lcd_font_tables.cpp"

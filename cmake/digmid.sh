#!/bin/sh
# Writes the synthesizer's patch index for Debian's freepats, in the library's own
# convention (absolute paths, melodic numbers from 1, drums as a multipatch), and the
# allegro.cfg beside the programs that points at it.
# Usage: digmid.sh SOURCE_CFG PATCH_DIR OUT_DIR
src=$1; dir=$2; out=$3
mkdir -p "$out/digmid"
if [ -r "$src" ]; then
    awk -v D="$dir" '/^dir /{next}
      /^drumset 0/{print "129 begin_multipatch"; dr=1; next}
      /^bank 0/{if (dr) print "end_multipatch"; dr=0; next}
      /^[ \t]*[0-9]+[ \t]/{ if (dr) print $1, D "/" $2; else print $1 + 1, D "/" $2 }
      END{if (dr) print "end_multipatch"}' "$src" > "$out/digmid/default.cfg.new"
    mv "$out/digmid/default.cfg.new" "$out/digmid/default.cfg"
else
    echo "digmid.sh: $src no existe; la musica MIDI no sonara" >&2
    : > "$out/digmid/default.cfg"
fi
cat > "$out/allegro.cfg.new" <<CFG
# KORVEX: sound set-up for the library.
[sound]
patches = digmid/default.cfg
CFG
mv "$out/allegro.cfg.new" "$out/allegro.cfg"

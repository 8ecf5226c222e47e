# Shared by the Standalone's window tests (sourced, not run): reading screenshots and the app's
# window. Needs xwininfo and ImageMagick.

fail() { echo "FAIL: $*" >&2; exit 1; }

# The colour of one pixel of a screenshot, as rrggbb.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:- | cut -c1-6 | tr 'A-F' 'a-f'; }

# The first or last pixel of a colour (rrggbb) along a row (y) or down a column (x) of a
# screenshot; empty if none. (awk reads to the end, so that convert never writes into a closed
# pipe.)
first_x_of() { convert "$1" -crop "x1+0+$2" +repage txt:- | awk -v c="#$3" '! found && toupper($3) == toupper(c) { split($1, p, ","); print p[1]; found = 1 }'; }
last_x_of() { convert "$1" -crop "x1+0+$2" +repage txt:- | awk -v c="#$3" 'toupper($3) == toupper(c) { split($1, p, ","); last = p[1] } END { print last }'; }
first_y_of() { convert "$1" -crop "1x+$2+0" +repage txt:- | awk -v c="#$3" '! found && toupper($3) == toupper(c) { split($1, p, ","); sub(":", "", p[2]); print p[2]; found = 1 }'; }

# The size of the window $wid, as "WIDTH HEIGHT".
size_of() { xwininfo -id "$wid" | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w, h }'; }

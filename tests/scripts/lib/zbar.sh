# zbar_read PICTURE [zbarimg options...]: what zbar reads from a label, one
# TYPE:TEXT line per symbol (with --raw the text alone), nothing when it
# reads none. The white quiet zone the labels leave to the label's layout
# is added, and each module made three pixels wide: zbar wants more than one.
zbar_read() {
  local picture=$1
  shift
  { convert "$picture" -bordercolor white -border 20 -scale 300%x png:- 2>/dev/null |
    zbarimg --nodbus -q "$@" - 2>/dev/null | tr -d '\r'; } || true
}

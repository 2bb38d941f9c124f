# Shared by the desktop smoke tests (sourced, not run). The sourcing script sets log (the
# program's output), pid (the program), wid (its window), WX and WY (the client area's
# screen position) and, once client_offset has run, menu (the height of the menu bar above
# it).

smoke_name=$(basename "$0" .sh)

# The failure and the program's output so far, then the end of the test.
fail() {
  echo "$smoke_name: FAIL: $*" >&2
  if [[ -n ${log:-} && -s $log ]]; then
    echo "$smoke_name: program output:" >&2
    sed 's/^/  | /' "$log" >&2
  fi
  exit 1
}

need_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "'$tool' is missing (scripts/deps.sh installs it)"
  done
}

shoot() { import -window root "$1" || fail "screenshot $1 failed"; }

alive() { kill -0 "$pid" 2>/dev/null || fail "the program ended unexpectedly ($1)"; }

# "R G B" of a screen pixel.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 -format '%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]' info:
}
# is_near SHOT X Y R G B TOLERANCE: the pixel at client (X,Y) is within TOLERANCE of RGB.
is_near() {
  local r g b
  seen=$(pixel "$1" $((WX + $2)) $((WY + menu + $3)))
  read -r r g b <<<"$seen"
  ((r >= $4 - $7 && r <= $4 + $7 && g >= $5 - $7 && g <= $5 + $7 && b >= $6 - $7 && b <= $6 + $7))
}
near() { # near SHOT X Y R G B TOLERANCE WHAT
  is_near "$@" || fail "$8: pixel at client ($2,$3) is RGB($seen), expected about RGB($4,$5,$6)"
}
# The same on fresh screenshots until it holds, for up to 15 seconds.
becomes_near() {
  for _ in $(seq 1 60); do
    shoot "$1"
    is_near "$@" && return 0
    sleep 0.25
  done
  near "$@"
}

# client_offset SHOT: sets menu. The client area starts below the menu bar; header label
# lbl 10 ("Ctrl Source") is the first run of 20 near-black pixels in column x = 27 (inside
# its left edge, left of its caption) that follows lighter ones. Drawing may lag behind
# mapping the window (the screen behind is black): look again until it is there.
client_offset() {
  menu=
  for _ in $(seq 1 60); do
    shoot "$1"
    menu=$(convert "$1" -crop "1x200+$((WX + 27))+$WY" +repage -depth 8 txt:- |
      awk -F'[(,)]' 'NR > 1 { dark = ($4 < 20 && $5 < 20 && $6 < 20); if (!dark) light = 1;
                              run = dark && light ? run + 1 : 0;
                              if (run == 20) { print $2 - 19 - 100; exit } }')
    [[ -n $menu ]] && ((menu >= 0)) && break
    sleep 0.25
  done
  [[ -n $menu ]] || fail "no near-black header label found in column x = 27"
  ((menu >= 0 && menu <= 60)) || fail "header label found at a client offset of $menu pixels"
}

# check_start_screen SHOT: what the window shows at start on every backend: the near-black
# header and row labels, the grey panel, the hidden marker, and a picture that is not flat.
check_start_screen() {
  near "$1" 27 103 3 3 3 12 "header label lbl 10"
  near "$1" 112 117 3 3 3 12 "header label lbl 10"
  near "$1" 5 122 3 3 3 12 "row label lbl 270"
  near "$1" 27 470 128 128 128 6 "grey below the last row"
  near "$1" 295 300 128 128 128 6 "grey between the depth column and the voice list"
  near "$1" 13 110 128 128 128 6 "the hidden marker lbl 13"
  # The picture: 140x75 at (300,5).
  spread=$(convert "$1" -crop "140x75+$((WX + 300))+$((WY + menu + 5))" +repage -colorspace gray \
    -format '%[fx:int(1000*standard_deviation)]' info:)
  ((spread > 30)) || fail "the picture area is flat (spread $spread)"
}

click() { xdotool mousemove $((WX + $1)) $((WY + menu + $2)) click 1; sleep 0.4; alive "after a click at $1,$2"; }

# Clicks on fixed places that have no effect but must not end the program.
click_around() {
  click 427 89  # "All"
  click 13 130  # row label 1
  click 350 200 # the empty voice list
  click 100 40  # the empty file list
  click 310 90  # "Multi Select List"
}

# close_and_wait: what a window manager sends for the close button (WM_DELETE_WINDOW), then
# the program's end within 30 s; sets code to its exit code.
close_and_wait() {
  python3 "$here/close_window.py" "$wid" || fail "could not send the close request"
  for _ in $(seq 1 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end within 30 s of the close request"
  wait "$pid"
  code=$?
}

# The program remembers its window, folders and recent banks, and hands banks to the
# desktop's recent list: each run starts from empty settings and data folders of its own,
# never the user's.
own_settings() {
  rm -rf "$1/config" "$1/data" && mkdir -p "$1/config" "$1/data" || fail "cannot create $1/config"
  export XDG_CONFIG_HOME=$1/config XDG_DATA_HOME=$1/data
}

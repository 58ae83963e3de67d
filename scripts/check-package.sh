#!/usr/bin/env bash
# Tilora as an installed desktop application, from the RelWithDebInfo build in build/:
# - `cmake --install` into a prefix, and into a DESTDIR, installs exactly the files listed in
#   resources/installed-files.txt;
# - the desktop entry and the AppStream metadata validate;
# - CPack builds the Debian package with those files, and lintian finds no error and no warning;
# - the package installs with apt-get and `man tilora` finds its manual page;
# - the installed program starts under Xvfb, its frame's WM_CLASS is the entry's StartupWMClass,
#   a picture loads through "Load Image" and the installed decoding program, and it ends through
#   File > Exit;
# - it runs natively under a headless Weston: its frame titled "Tilora", with the entry's name
#   as its app id, reaches the screen, and it ends on SIGTERM without an error;
# - after a purge no file of the package remains.
# It installs and purges the package, so it runs as root (or through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$PWD/build
EXPECTED=$PWD/resources/installed-files.txt
ENTRY=/usr/share/applications/io.github.tilora.Tilora.desktop
source tests/e2e/lib.sh /usr/bin/tilora

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
APT=($SUDO env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300)
INSTALLED=
WESTON_PID=
finish() {
  [ -n "$INSTALLED" ] && "${APT[@]}" purge tilora >/dev/null
  [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null
  cleanup
}
trap finish EXIT
started=$SECONDS
step() { echo "== $* ($((SECONDS - started)) s)"; }

# files PATH: every file and link under PATH, relative to it, sorted.
files() { (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort); }

step "cmake --install into a prefix and into a DESTDIR"
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null
diff -u "$EXPECTED" <(files "$WORK/prefix") || fail "cmake --install --prefix installs other files"
DESTDIR=$WORK/destdir cmake --install "$BUILD" --prefix /usr >/dev/null
diff -u <(sed 's|^|usr/|' "$EXPECTED") <(files "$WORK/destdir") || fail "cmake --install with DESTDIR installs other files"

step "desktop-file-validate"
desktop-file-validate "$WORK/destdir$ENTRY"
step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$WORK/destdir/usr/share/metainfo/io.github.tilora.Tilora.metainfo.xml"

step "cpack -G DEB"
cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/package" >/dev/null
DEB=$(find "$WORK/package" -maxdepth 1 -name 'tilora_*.deb')
[ -f "$DEB" ] || fail "no package was built"
diff -u <(sed 's|^|usr/|' "$EXPECTED") <(dpkg-deb --fsys-tarfile "$DEB" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort) ||
  fail "the package holds other files"
dpkg-deb --field "$DEB" Depends
step "lintian"
lintian --fail-on error,warning "$DEB"

step "apt-get install ./$(basename "$DEB")"
if dpkg-query -W -f='${Status}' tilora 2>/dev/null | grep -q 'ok installed'; then
  fail "tilora is installed already; this check installs and purges its own build (apt-get purge tilora)"
fi
INSTALLED=1
(cd "$WORK/package" && "${APT[@]}" install --no-install-recommends "./$(basename "$DEB")" >/dev/null)
mapfile -t OWNED < <(dpkg-query -L tilora)
[ "$(man -w tilora)" = /usr/share/man/man1/tilora.1.gz ] || fail "man -w tilora finds '$(man -w tilora 2>&1)'"

step "the installed program under Xvfb"
start_xvfb
start_tilora
want=$(sed -n 's/^StartupWMClass=//p' "$ENTRY")
class=$(xprop -id "$FRAME" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = ".*", "\(.*\)"$/\1/p')
[ -n "$want" ] && [ "$class" = "$want" ] || fail "the frame's WM_CLASS class is '$class', the entry's StartupWMClass '$want'"

step "one load through the installed decoding program"
convert -size 64x48 "xc:rgb(10,200,30)" -type TrueColor "BMP3:$WORK/sheet.bmp"
locate_pictures
before=$(visible_windows)
second_button "$SX" "$SY"
answer_dialog "$before" "$WORK/sheet.bmp" "ﾌｧｲﾙを開く" dialog_gone
loaded() { shoot && [ "$(img pixel $((SX + 20)) $((SY + 20)))" = "10 200 30" ]; }
wait_until 10 loaded || fail "the picture did not load through the installed decoding program"
exit_by_menu

step "the installed program under a headless Weston"
# Weston refuses a runtime folder that others may enter; root has none of its own on CI.
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=tilora-check --idle-time=0 --no-config \
  --log="$WORK/weston.log" >/dev/null 2>&1 &
WESTON_PID=$!
# The shell is loaded before Weston serves the socket's first client.
wait_until 20 test -S "$XDG_RUNTIME_DIR/tilora-check" || fail "Weston did not start: $(cat "$WORK/weston.log")"
# The client's protocol log and Qt's messages; fail keeps it as the program's output.
LOG=$WORK/tilora.log
(cd "$WORK" && exec env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tilora-check WAYLAND_DEBUG=client \
  /usr/bin/tilora) >/dev/null 2>"$LOG" &
TILORA_PID=$!
mapped() { python3 scripts/wayland-mapped.py "$LOG" Tilora; }
mapped_or_ended() { mapped || ! kill -0 "$TILORA_PID"; }
wait_until 30 mapped_or_ended && mapped || fail "the frame titled Tilora did not reach the Wayland screen"
app_id=$(basename "$ENTRY" .desktop)
grep -qF "set_app_id(\"$app_id\")" "$LOG" || fail "the frame's app id is not $app_id"
kill -TERM "$TILORA_PID"
wait_until 20 bash -c "! kill -0 $TILORA_PID" || fail "the program did not end on SIGTERM"
STATUS=0
wait "$TILORA_PID" || STATUS=$?
TILORA_PID=
[ "$STATUS" -eq $((128 + 15)) ] || fail "the program ended with status $STATUS on SIGTERM"
# Every line but the protocol's is a complaint, and the compositor raised no protocol error.
if grep -v '^\[' "$LOG" | grep . || grep 'wl_display@1\.error(' "$LOG"; then
  fail "the program reported errors on Wayland"
fi
kill "$WESTON_PID" 2>/dev/null || true
wait "$WESTON_PID" || true
WESTON_PID=

step "apt-get purge tilora"
"${APT[@]}" purge tilora >/dev/null
INSTALLED=
for path in "${OWNED[@]}"; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    # A folder stays only while another package has it too.
    [ "$path" = /. ] || dpkg-query -S "$path" >/dev/null 2>&1 || fail "$path remains after the purge"
  elif [ -e "$path" ] || [ -L "$path" ]; then
    fail "$path remains after the purge"
  fi
done
step "package check passed"

#!/usr/bin/env bash
# Installs the build into a throw-away prefix and uses it as a user would: every file in
# its place, the program runs from there with a clean environment, the man page names
# every subcommand and option, and the desktop entry is no folder's default opener. Then
# packs the build as its .deb and has lintian check it: no error and no warning.
# Usage: install_tree_test.sh BUILD_DIR
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
share="$tmp/usr/share"
for file in bin/lumenshow share/applications/lumenshow.desktop share/icons/hicolor/scalable/apps/lumenshow.svg \
    share/metainfo/org.lumenshow.LumenShow.metainfo.xml share/man/man1/lumenshow.1.gz \
    share/doc/lumenshow/user-guide.html share/doc/lumenshow/images/main-window.png \
    share/doc/lumenshow/copyright share/doc/lumenshow/changelog.gz \
    share/kio/servicemenus/lumenshow-slideshow.desktop share/nemo/actions/lumenshow.nemo_action; do
  [[ -f "$tmp/usr/$file" ]] || fail "$file is not installed"
done
appstreamcli validate --no-net "$share/metainfo/org.lumenshow.LumenShow.metainfo.xml" >/dev/null ||
  fail "the AppStream metadata does not validate"
desktop-file-validate "$share/applications/lumenshow.desktop" || fail "the desktop entry does not validate"

# From the install, with nothing of the build's environment.
mkdir -p "$tmp/home"
run() { env -i HOME="$tmp/home" PATH="$tmp/usr/bin:/usr/bin:/bin" "$@"; }
[[ "$(run lumenshow --version)" == "lumenshow "* ]] || fail "--version"
[[ "$(run lumenshow settings --file)" == "$tmp/home/.config/lumenshow/LumenShow.ini" ]] ||
  fail "the settings are not in the user's configuration: $(run lumenshow settings --file)"
run lumenshow settings | grep -qx "ImageFolder=$tmp/home" || fail "the fallback folder is not home"

# The man page names every subcommand and every option --help lists.
page="$tmp/lumenshow.1"
gzip -dc "$share/man/man1/lumenshow.1.gz" > "$page"
for sub in $(run lumenshow --help | sed -n 's/^  \([a-z]*\)  .*/\1/p'); do
  grep -q "$sub" "$page" || fail "the man page does not name $sub"
  for option in $(run lumenshow "$sub" --help | sed -n 's/^  --\([a-z]*\).*/\1/p'); do
    grep -qF -- "\\-\\-$option" "$page" || fail "the man page does not name $sub --$option"
  done
done

# Started from the menu (the desktop entry, launched as a desktop launches it) on a
# private X server with a window manager: the main window opens, and closing it saves the
# settings into the user's configuration, made on this first save.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -t 10 number <&"$displayfd" || fail "Xvfb did not start"
trap 'kill $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
DISPLAY=":$number" openbox >/dev/null 2>&1 &
sleep 0.5
env -i HOME="$tmp/home" DISPLAY=":$number" PATH="$tmp/usr/bin:/usr/bin:/bin" XDG_DATA_DIRS="$share:/usr/share" \
  gio launch "$share/applications/lumenshow.desktop" >/dev/null 2>&1 &
window=""
for _ in $(seq 1 100); do
  window="$(DISPLAY=":$number" xdotool search --onlyvisible --name '^LumenShow$' 2>/dev/null | head -n 1 || true)"
  [[ -n "$window" ]] && break
  sleep 0.1
done
[[ -n "$window" ]] || fail "the main window did not open from the menu"
DISPLAY=":$number" xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 1 50); do
  [[ -f "$tmp/home/.config/lumenshow/LumenShow.ini" ]] && break
  sleep 0.1
done
[[ -f "$tmp/home/.config/lumenshow/LumenShow.ini" ]] || fail "closing the window saved no settings in ~/.config/lumenshow"

# On a desktop with no file manager, the folders' default opener stays unset.
export XDG_DATA_HOME="$tmp/data" XDG_DATA_DIRS="$share" XDG_CONFIG_HOME="$tmp/config" XDG_CONFIG_DIRS="$tmp/config"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION
update-desktop-database "$share/applications"
default="$(HOME="$tmp/home" xdg-mime query default inode/directory || true)"
[[ "$default" != *lumenshow* ]] || fail "LumenShow became the default opener of folders"

# The .deb as scripts/package.sh makes it, judged by Debian's own checker.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >/dev/null || fail "cpack could not make the .deb"
report="$(lintian --allow-root --fail-on error,warning "$tmp"/deb/lumenshow_*.deb 2>&1)" ||
  fail "lintian: $report"
echo "install tree: every file in place, starts from the menu and saves its settings, opens no folders; lintian accepts the .deb"

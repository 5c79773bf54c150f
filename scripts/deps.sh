# Installs the Debian packages LumenShow needs when any are missing. Sourced by start.sh
# and check.sh; takes the package names as arguments.
lumen_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
      return 1
    fi
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the program needs: qt6-translations-l10n gives Qt's dialogs
# their Japanese texts, xdg-utils opens the user guide in the desktop's browser,
# qt6-wayland lets it run on a Wayland desktop natively, where the show draws on the
# desktop's overlay layer through the Wayland client library (libwayland-bin generates the
# protocol code) and reads the keyboard's keymap with libxkbcommon; FFmpeg's libraries
# write videos; libdeflate packs and unpacks the thumbnail cache's PNGs; libheif reads HEIC and
# AVIF photos, and Qt's image format plugins WebP and TIFF.
LUMEN_BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libsdl2-dev libsdl2-mixer-dev
  libcdio-dev libcdio-paranoia-dev libjpeg62-turbo-dev fonts-ipafont-gothic
  qt6-translations-l10n xdg-utils qt6-wayland libwayland-dev libwayland-bin libxkbcommon-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libdeflate-dev libheif-dev
  qt6-image-formats-plugins)
# What the tests and benchmarks need on top: TurboJPEG writes their JPEG fixtures; lame
# makes the MP3 the playback tests play;
# Xvfb, xdotool and xwd run and watch the show on a private X server; libvips-tools is the
# peer bench/thumbnail_race.sh measures the thumbnails against; desktop-file-utils checks
# the desktop entry; openbox, tint2 (a panel), picom (a compositor), RandR monitors
# (x11-xserver-utils), xmessage (x11-utils, a window that takes the focus) and weston
# (Wayland without a display) are the desktops the show is tried on, ImageMagick and
# NumPy read their pictures; KWin (with Xwayland, its protocol file for our key sender,
# python3-dbus for its screenshots) is KDE's desktop, sway (with grim for its pictures and
# wtype for its keys) the wlroots one, GNOME Shell (gnome-screenshot) GNOME's;
# ffmpeg checks the videos; a session bus, the AT-SPI bus and the Orca screen reader hear the windows as a blind user does;
# a PulseAudio on a null sink, and PipeWire with WirePlumber and its Pulse server, are the
# sound servers the music loses and finds again; dpkg-dev and file let CPack make the .deb
# the install test hands to lintian; heif-enc (libheif-examples) writes the HEIC and AVIF
# pictures the tests read, and colord-data holds the Adobe RGB profile of their camera photo;
# Little CMS is what bench/colour_bench.cpp measures Qt's colour engine against.
LUMEN_TEST_PACKAGES=(libgtest-dev libbenchmark-dev libturbojpeg0-dev lame xvfb xdotool x11-apps libvips-tools
  desktop-file-utils appstream openbox tint2 picom x11-utils x11-xserver-utils imagemagick python3-numpy weston
  kwin-wayland xwayland plasma-wayland-protocols python3-dbus sway grim wtype
  gnome-shell gnome-screenshot ffmpeg dbus-daemon at-spi2-core orca
  pulseaudio pulseaudio-utils pipewire wireplumber pipewire-pulse dpkg-dev file lintian libheif-examples
  colord-data liblcms2-dev)

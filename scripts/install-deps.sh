#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; quiet and quick when all are present.
set -eu

packages=(
  # build
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # renderer
  libx11-dev libxfixes-dev libxtst-dev libgl-dev libglu1-mesa-dev libegl-dev
  libgl1-mesa-dri libglx-mesa0 libegl-mesa0
  # the renderer's Wayland shell: client library, wl_egl_window, wayland-scanner, xdg-shell
  libwayland-dev libwayland-bin wayland-protocols
  # orbilon-idle: org_kde_kwin_idle's XML (sway 1.7's only idle protocol), GIO's D-Bus client
  plasma-wayland-protocols libglib2.0-dev
  # front end
  qt6-base-dev qt6-base-dev-tools
  # the front end in a Wayland session without an X server
  qt6-wayland
  fonts-ipafont-gothic fonts-dejavu-core
  # music
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  libcdio-dev
  # tests under a virtual display
  xvfb xauth x11-utils x11-xserver-utils libxrandr-dev
  # reading any screenshot's PNG in the display tests
  libpng-dev
  # the screen-saver services the tests start us from, and a window manager
  xscreensaver openbox
  # headless Wayland compositors for the Wayland shell's tests, with screenshots and keys
  sway grim wtype weston
  # GNOME's compositor, headless, in a private session bus (dbus-run-session): orbilon-idle's
  # GNOME path and the renderer under it; its screen casts reach a test through PipeWire
  # (WirePlumber links the stream, GStreamer's pipewiresrc takes a frame)
  mutter dbus-daemon pipewire wireplumber gstreamer1.0-pipewire
  # install and package checks
  dpkg-dev lintian desktop-file-utils appstream libxml2-utils man-db
  # make bench: glxgears, the yardstick for a frame's cost
  mesa-utils
  # the Windows build and its tests
  g++-mingw-w64-x86-64 wine wine64 locales
  # the Windows release: its zip and its installer, and their test
  zip unzip nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

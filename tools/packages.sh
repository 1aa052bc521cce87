# Debian packages of the project and a check that installs what is missing.
# Sourced by run.sh and test.sh.

ZRV_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsqlite3-dev
    qt6-base-dev qt6-svg-dev libgl-dev qt6-qpa-plugins fonts-dejavu-core
    liborcus-dev libixion-dev libboost-dev libzip-dev libxlsxwriter-dev libexpat1-dev libseccomp-dev
    help2man xdg-utils)
ZRV_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool
    x11-utils clang-14 libclang-rt-14-dev llvm-14 clang-format-14 util-linux locales
    openbox xclip imagemagick parcellite fortune-mod lintian appstream desktop-file-utils
    dpkg-dev fakeroot file bash-completion)

zrv_require_packages()
{
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
    echo "Installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

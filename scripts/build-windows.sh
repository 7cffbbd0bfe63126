#!/usr/bin/env bash
# Cross-builds Korvane for 64-bit Windows with Debian's MinGW-w64:
#   bash scripts/build-windows.sh [--tests]
# Qt for Windows is not packaged in Debian, so the first run builds it from the Qt source Debian
# ships (the same version as the host's Qt tools), with SQLite, zlib and libxlsxwriter, into a
# cache folder that later runs reuse: $KORVANE_WINDOWS_CACHE, else ~/.cache/korvane-windows.
# The result is build-windows/Korvane/ (korvane.exe with its libraries and plugins), a zip of it
# and, where makensis is there, an installer. --tests also builds the test programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${KORVANE_WINDOWS_CACHE:-$HOME/.cache/korvane-windows}
prefix=$cache/mingw64
toolchain=$root/scripts/windows/mingw-w64.cmake
out=$root/build-windows
with_tests=OFF
[ "${1:-}" = --tests ] && with_tests=ON
export KORVANE_WINDOWS_PREFIX=$prefix
target=x86_64-w64-mingw32

bash "$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix dpkg-dev tcl zip nsis wine64 ccache

mkdir -p "$cache/src" "$cache/build" "$prefix/lib" "$prefix/include"
src=$cache/src
build=$cache/build
log() { echo "== $*"; }

# Debian's source packages, through an apt configuration of our own that adds the archive's
# source lines for this download only; the system's sources stay as they are.
fetch_sources() {
  local apt=$cache/apt
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/sources.list.d"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    >"$apt/sources.list"
  local options=(-o APT::Sandbox::User=root -o "Dir::Etc::SourceList=$apt/sources.list"
    -o "Dir::Etc::SourceParts=$apt/sources.list.d" -o "Dir::State::Lists=$apt/lists"
    -o "Dir::Cache::Archives=$apt/archives" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
  local qt_version
  qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
  local wanted=()
  [ -d "$src/qt6-base-${qt_version%-*}" ] || wanted+=("qt6-base=$qt_version")
  ls -d "$src"/sqlite3-*/ >/dev/null 2>&1 || wanted+=(sqlite3)
  ls -d "$src"/zlib-*/ >/dev/null 2>&1 || wanted+=(zlib)
  ls -d "$src"/libxlsxwriter-*/ >/dev/null 2>&1 || wanted+=(libxlsxwriter)
  [ ${#wanted[@]} -eq 0 ] && return
  log "fetching the sources of ${wanted[*]}"
  apt-get "${options[@]}" update -qq
  (cd "$src" && apt-get "${options[@]}" source -qq "${wanted[@]}")
}

cross_cmake() {
  cmake -G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

# SQLite's single-file form is generated on the host, then compiled for Windows.
build_sqlite() {
  [ -f "$prefix/lib/libsqlite3.a" ] && return
  log "SQLite"
  local dir=$build/sqlite
  mkdir -p "$dir"
  (cd "$dir" && "$(ls -d "$src"/sqlite3-*/)configure" --disable-tcl -q >/dev/null && make -s sqlite3.c >/dev/null)
  "$target-gcc-posix" -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS5 \
    -c "$dir/sqlite3.c" -o "$dir/sqlite3.o"
  "$target-ar" rcs "$prefix/lib/libsqlite3.a" "$dir/sqlite3.o"
  cp "$dir/sqlite3.h" "$prefix/include/"
}

# Debian's zlib source lacks the Windows resource file, so only the static library is built.
build_zlib() {
  [ -f "$prefix/lib/libz.a" ] && return
  log "zlib"
  local source
  source=$(ls -d "$src"/zlib-*/)
  cross_cmake -S "$source" -B "$build/zlib"
  ninja -C "$build/zlib" zlibstatic >/dev/null
  cp "$build/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
  cp "$source/zlib.h" "$build/zlib/zconf.h" "$prefix/include/"
}

build_xlsxwriter() {
  [ -f "$prefix/lib/libxlsxwriter.a" ] && return
  log "libxlsxwriter"
  cross_cmake -S "$(ls -d "$src"/libxlsxwriter-*/)" -B "$build/xlsxwriter" -DBUILD_SHARED_LIBS=OFF \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
  ninja -C "$build/xlsxwriter" install >/dev/null
}

build_googletest() {
  [ -f "$prefix/lib/libgtest.a" ] && return
  log "GoogleTest"
  cross_cmake -S /usr/src/googletest -B "$build/googletest" -Dgtest_disable_pthreads=OFF
  ninja -C "$build/googletest" install >/dev/null
}

# Only the modules Korvane uses; the host's moc, rcc and uic do the generating. Text goes through
# GDI: Qt 6.4 builds its DirectWrite engine only with Direct2D, yet prints through it whenever
# DirectWrite is on, so that pair would not link without Direct2D. Tablet input needs the wintab
# header, which Debian's source leaves out.
build_qt() {
  [ -f "$prefix/qt.done" ] && return
  log "Qt $(dpkg-query -W -f='${Version}' qt6-base-dev) for Windows (about 36 minutes on two cores, once)"
  local source
  source=$(ls -d "$src"/qt6-base-*/)
  if [ ! -f "$build/qt/build.ninja" ]; then
    cross_cmake -S "$source" -B "$build/qt" -DQT_HOST_PATH=/usr \
      -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
      -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF \
      -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF \
      -DFEATURE_freetype=OFF -DFEATURE_jpeg=OFF -DFEATURE_direct2d=OFF \
      -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF -DFEATURE_tabletevent=OFF \
      -DFEATURE_sql_psql=OFF -DFEATURE_sql_odbc=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF \
      -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
      -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.a" \
      -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
      -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_harfbuzz=OFF
  fi
  nice ninja -C "$build/qt"
  ninja -C "$build/qt" install >/dev/null
  touch "$prefix/qt.done"
}

build_korvane() {
  log "Korvane for Windows"
  # Compiled objects are kept beside the cross-built Qt, so a later build, in a fresh clone at the
  # same place too, compiles only what changed.
  export CCACHE_DIR=$cache/ccache CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
  PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig cmake -S "$root" -B "$out" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr \
    -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_BENCH=OFF -DKORVANE_BUILD_TESTS=$with_tests \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
  cmake --build "$out" -j "$(nproc)"
}

# The folder a user unpacks: the program, the Qt libraries and plugins it loads, the compiler's
# run-time libraries; then the zip and the installer.
deploy() {
  local folder=$out/Korvane
  log "the folder $folder"
  rm -rf "$folder"
  cmake --install "$out" --prefix "$folder" >/dev/null
  local qt
  for qt in Core Gui Widgets PrintSupport Sql Network; do
    cp "$prefix/bin/Qt6$qt.dll" "$folder/"
  done
  local plugin
  for plugin in platforms/qwindows.dll sqldrivers/qsqlite.dll styles/qwindowsvistastyle.dll imageformats/qico.dll; do
    mkdir -p "$folder/$(dirname "$plugin")"
    cp "$prefix/plugins/$plugin" "$folder/$plugin"
  done
  local gcc_dir
  gcc_dir=$(dirname "$("$target-g++-posix" -print-libgcc-file-name)")
  cp "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" "/usr/$target/lib/libwinpthread-1.dll" "$folder/"
  local version
  version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  rm -f "$out"/korvane-*-windows-x64.zip
  (cd "$out" && zip -qr "korvane-$version-windows-x64.zip" Korvane)
  log "$out/korvane-$version-windows-x64.zip"
  makensis -V2 -DVERSION="$version" -DSOURCE="$folder" -DOUTFILE="$out/korvane-$version-windows-x64-setup.exe" \
    "$root/scripts/windows/korvane.nsi"
  log "$out/korvane-$version-windows-x64-setup.exe"
}

fetch_sources
build_sqlite
build_zlib
build_xlsxwriter
build_googletest
build_qt
build_korvane
deploy

#!/usr/bin/env bash
# Installs the Debian packages that building and running need; with --test
# also what the tests need (LibreOffice reads the workbooks we write, the
# PDF tools read back the charts it prints, Gnumeric's ssconvert reads them as
# a second spreadsheet program, the server tests start their own ClickHouse
# servers, OpenSSL gives the test mail server its TLS) and what the sanitizer
# job and the fuzz targets need (clang with its sanitizer and libFuzzer
# runtimes, llvm's symbolizer).
# Runs as root on Debian 12; does nothing when everything is already there.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev sqlite3 libzip-dev libpugixml-dev
  libcurl4-openssl-dev
  xvfb xauth
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libreoffice-calc-nogui poppler-utils gnumeric clickhouse-server libssl-dev clang libclang-rt-14-dev llvm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

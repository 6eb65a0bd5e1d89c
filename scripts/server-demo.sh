#!/usr/bin/env bash
# Starts a local ClickHouse server for trying cubes on a server, publishes
# the bundled sample cubes to it, and says how to open them in the wizard.
#
#     scripts/server-demo.sh [--port PORT] [--folder FOLDER]   start and publish
#     scripts/server-demo.sh --stop [--folder FOLDER]          stop it
#
# The server keeps its data and configuration in FOLDER (default
# ~/.local/share/pivotwizard/server) and listens on 127.0.0.1:PORT (HTTP,
# default 8123) only. Needs clickhouse-server (scripts/deps.sh --test) and a
# build (scripts/build.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
folder=$HOME/.local/share/pivotwizard/server
port=8123
stop=0
while (($#)); do
  case $1 in
    --port) port=$2; shift 2 ;;
    --folder) folder=$2; shift 2 ;;
    --stop) stop=1; shift ;;
    *) echo "usage: $0 [--port PORT] [--folder FOLDER] | --stop [--folder FOLDER]" >&2; exit 2 ;;
  esac
done
pidfile=$folder/server.pid

if ((stop)); then
  if [[ -f $pidfile ]] && kill "$(cat "$pidfile")" 2>/dev/null; then
    echo "stopped the server of $folder"
  else
    echo "no server of $folder is running"
  fi
  rm -f "$pidfile"
  exit 0
fi

command -v clickhouse-server >/dev/null || { echo "clickhouse-server is not installed: scripts/deps.sh --test" >&2; exit 1; }
[[ -x $build/tools/cubebuilder ]] || { echo "no build in $build: scripts/build.sh" >&2; exit 1; }
mkdir -p "$folder"/{data,tmp,log}
cat > "$folder/config.xml" <<XML
<yandex>
  <logger><level>warning</level><log>$folder/log/server.log</log><errorlog>$folder/log/error.log</errorlog></logger>
  <http_port>$port</http_port><tcp_port>$((port + 877))</tcp_port><interserver_http_port>$((port + 886))</interserver_http_port>
  <listen_host>127.0.0.1</listen_host>
  <path>$folder/data/</path><tmp_path>$folder/tmp/</tmp_path><user_files_path>$folder/data/user_files/</user_files_path>
  <users_config>$folder/users.xml</users_config>
  <default_profile>default</default_profile><default_database>default</default_database>
  <mark_cache_size>268435456</mark_cache_size>
</yandex>
XML
cat > "$folder/users.xml" <<XML
<yandex>
  <profiles><default></default></profiles>
  <users><default><password></password><networks><ip>127.0.0.1</ip><ip>::1</ip></networks><profile>default</profile><quota>default</quota></default></users>
  <quotas><default></default></quotas>
</yandex>
XML
url=http://127.0.0.1:$port/
if ! curl -fs "$url" --data-binary 'SELECT 1' >/dev/null 2>&1; then
  nohup clickhouse-server --config-file="$folder/config.xml" >"$folder/log/stdout.log" 2>&1 &
  echo $! >"$pidfile"
  for _ in $(seq 1 120); do
    curl -fs "$url" --data-binary 'SELECT 1' >/dev/null 2>&1 && break
    sleep 0.5
  done
fi
curl -fs "$url" --data-binary 'SELECT 1' >/dev/null || { echo "the server did not start; see $folder/log" >&2; exit 1; }
for cube in "$build"/samples/store/*.cub; do
  "$build/tools/cubebuilder" --publish "$url" --quiet "$cube"
  echo "published $(basename "$cube")"
done
cat <<TEXT

The server runs at 127.0.0.1:$port with the sample cubes. To open them:
  $build/app/pivotwizard
then on "Select a cube" choose the kind "Cube on an OLAP server", type the server
127.0.0.1:$port, pick the provider ClickHouse, press Connect, and choose a
catalog and a cube. Stop the server with: $0 --stop --folder $folder
TEXT

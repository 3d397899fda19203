# Starts and stops board-server for the load benchmark and the browser test.
# Source this file, then:
#   start_board_server BINARY DB WWW DATA LOG [SETTINGS]
#                                                sets BOARD_PID and BOARD_URL
#   stop_board_server
# The server picks a free port itself (--port 0) and names it in its log.

start_board_server() {
  local binary=$1 db=$2 www=$3 data=$4 log=$5 settings=${6:-} port=""
  # The log exists before the first read: the server's shell may not have
  # opened it yet when the loop below starts.
  : >"$log"
  "$binary" --host 127.0.0.1 --port 0 --db "$db" --www "$www" --data "$data" \
    ${settings:+--settings "$settings"} 2>"$log" &
  BOARD_PID=$!
  for _ in $(seq 1 300); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$log" | head -n 1)
    [ -n "$port" ] && break
    if ! kill -0 "$BOARD_PID" 2>/dev/null; then
      echo "board-server did not start; its log:" >&2
      cat "$log" >&2
      BOARD_PID=""
      return 1
    fi
    sleep 0.1
  done
  if [ -z "$port" ]; then
    echo "board-server named no port within 30 s; its log:" >&2
    cat "$log" >&2
    stop_board_server
    return 1
  fi
  BOARD_URL="http://127.0.0.1:$port"
}

stop_board_server() {
  if [ -n "${BOARD_PID:-}" ]; then
    kill "$BOARD_PID" 2>/dev/null || true
    wait "$BOARD_PID" 2>/dev/null || true
    BOARD_PID=""
  fi
}

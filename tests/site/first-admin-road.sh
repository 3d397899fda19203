#!/usr/bin/env bash
# The README's road to a fresh board's first administrator, step by step, on
# a machine without a mail server: the example settings file, a registration
# over HTTP, --make-admin beside the running board, the control panel's
# login at admin/forum.asp. run-board.sh builds and then runs board-server
# with the same arguments; here the built server runs directly.
# Usage: first-admin-road.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
server=$build/site/board-server

# The steps taken below are the README's: a README that says otherwise fails.
for step in 'cp site/board.conf.example board.conf' \
            'scripts/run-board.sh --settings board.conf' \
            'scripts/run-board.sh --make-admin NAME' \
            'http://127.0.0.1:8080/signup.asp' \
            'http://127.0.0.1:8080/admin/forum.asp'; do
    grep -qF -- "$step" "$source_dir/README.md" || { echo "README no longer says: $step"; exit 1; }
done

work=$(mktemp -d)
pid=
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
cd "$work"

fail() {
    echo "first-admin road: $*"
    echo "--- server log"; cat server.log
    exit 1
}

cp "$source_dir/site/board.conf.example" board.conf
"$server" --settings board.conf --port 0 >server.log 2>&1 &
pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on [^ ]*:\([0-9]*\);.*/\1/p' server.log)
    [ -n "$port" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the server did not start"
    sleep 0.1
done
[ -n "$port" ] || fail "the server did not say where it listens"
board=http://127.0.0.1:$port

# A page's text as UTF-8 (the wire is GBK).
post() {
    local page=$1; shift
    local args=()
    for field in "$@"; do args+=(--data-urlencode "$field"); done
    curl -sS -b cookies -c cookies "${args[@]}" "$board/$page" | iconv -f GBK -t UTF-8
}

answer=$(post signup.asp action=RegSubmit UserName=founder Password=pw1234 Password2=pw1234 \
    Email=founder@example.org)
grep -q '您已经成功在' <<<"$answer" || fail "registration refused: $answer"
grep -q 'pw1234' <<<"$answer" || fail "the registration answer does not show the password"

panel=$(post admin/forum.asp action=login UserName=founder Password=pw1234)
grep -q '个论坛' <<<"$panel" && fail "a member who is no administrator opened the panel"

"$server" --make-admin founder >>server.log 2>&1 || fail "--make-admin failed"

panel=$(post admin/forum.asp action=login UserName=founder Password=pw1234)
grep -q '你现在共有 0 个论坛' <<<"$panel" || fail "the panel did not open with no forum: $panel"
grep -q 'forum.asp?action=addforums' <<<"$panel" || fail "the panel offers no new forum"
echo "first-admin road: passed"

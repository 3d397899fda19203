#!/usr/bin/env bash
# The board behind a real nginx, configured as the README shows (a plain
# proxy_pass and the X-Forwarded-For it adds), reached at a public https
# address: the members' forms work, another site's are refused, and the
# per-address limits count the clients behind the proxy, each from a
# loopback address of its own, not the proxy. The logs go to
# BUILD/test-output/proxy/.
#
#   tests/proxy/run.sh [BUILD_DIR]      (default: build/)
#
# Skipped (exit 77) when nginx is missing; scripts/test.sh installs it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

nginx_binary=$(command -v nginx || echo /usr/sbin/nginx)
if [ ! -x "$nginx_binary" ]; then
  echo "SKIPPED: nginx is missing (scripts/test.sh installs it)"
  exit 77
fi

out=$build/test-output/proxy
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
nginx_pid=""
source "$root/scripts/lib/board-server.sh"
stop_nginx() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
    nginx_pid=""
  fi
}
trap 'stop_nginx; stop_board_server; rm -rf "$work"' EXIT

public=https://bbs.example.org
"$build/tools/seed/board-seed" --db "$work/board.db" --posts 100 >"$work/seed.txt"
busy_forum=$(sed -n 's/^busy forum: .*GroupName=\([^)]*\))$/\1/p' "$work/seed.txt")
# The README's settings for a board behind a proxy on this machine.
printf 'BBURL = %s/\nTrustedProxy = 127.0.0.1\nEMailRegister = false\n' "$public" >"$work/site.conf"
start_board_server "$build/site/board-server" "$work/board.db" "$root/site/www" "$work/data" "$out/server.log" \
  "$work/site.conf"

# nginx as an ordinary user would run it: one process in the foreground,
# its files in the temporary folder, on a free port.
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  mkdir -p "$work/nginx"
  sed -e "s|BOARD_ADDRESS|${BOARD_URL#http://}|" -e "s|PORT|$port|" -e "s|WORK|$work/nginx|g" \
    "$here/nginx.conf" >"$work/nginx/nginx.conf"
  "$nginx_binary" -e "$work/nginx/error.log" -p "$work/nginx" -c "$work/nginx/nginx.conf" &
  nginx_pid=$!
  for _ in $(seq 1 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    kill -0 "$nginx_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$nginx_pid" 2>/dev/null && break
  wait "$nginx_pid" 2>/dev/null || true
  nginx_pid=""
  cp "$work/nginx/error.log" "$out/nginx-error.log"
done
[ -n "$nginx_pid" ] || { echo "nginx did not start; its log:"; cat "$out/nginx-error.log"; exit 1; }
proxy=http://127.0.0.1:$port
echo "board-server at $BOARD_URL, nginx in front at $proxy"

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# One request through nginx as a browser on the public address sends it:
#   send CLIENT_ADDRESS ORIGIN PAGE [curl arguments...]
# leaves the status in $status and the page, in UTF-8, in $page. Each
# client keeps its own cookies.
send() {
  local client=$1 origin=$2 path=$3
  shift 3
  status=$(curl -sS --interface "$client" -o "$work/page" -w '%{http_code}' \
    -b "$work/cookies-$client" -c "$work/cookies-$client" \
    ${origin:+-H "Origin: $origin"} "$@" "$proxy/$path")
  page=$(iconv -f GBK -t UTF-8 "$work/page" 2>/dev/null || cat "$work/page")
}
expect_status() {
  [ "$status" = "$1" ] || fail "$2: status $status, expected $1"
}
expect_text() {
  case $page in *"$1"*) ;; *) fail "$2: the page does not say $1" ;; esac
}

# A proxy named by a name, not an address, stops the start.
printf 'TrustedProxy = 127.0.0.1, proxy.example.org\n' >"$work/bad.conf"
if timeout 20 "$build/site/board-server" --port 0 --db "$work/bad.db" --data "$work/bad-data" \
  --settings "$work/bad.conf" 2>"$work/bad.log"; then
  fail "a start with a bad TrustedProxy"
fi
grep -q "proxy.example.org is not an IP address" "$work/bad.log" || fail "the bad TrustedProxy is not named"

# A member logs in, posts and takes a step in the control panel.
member=127.0.4.1
send $member $public login.asp -H 'Sec-Fetch-Site: same-origin' --data 'UserName=admin&Password=admin'
expect_status 302 "login"
send $member $public posting.asp --data "action=posttopic&Forum=$busy_forum&topicsubject=proxy&Message=hello&MsgIcon=1"
expect_status 200 "new topic"
expect_text "谢谢您发表新主题" "new topic"
send $member $public admin/forum.asp --data \
  'UserName=admin&Password=admin&action=addnewforum&forumname=Proxied&catalog=Cat&descript=x&topicrestrict=all&replyrestrict=none'
expect_status 200 "new forum in the control panel"
expect_text "版面更新结束" "new forum in the control panel"

# Another site's forms are refused, an http page of the https board's name too.
for origin in https://evil.example.net http://bbs.example.org; do
  send 127.0.4.2 $origin login.asp --data 'UserName=admin&Password=admin'
  expect_status 403 "login from $origin"
done

# The pages see the client behind the proxy, not the proxy, and not what
# the client claims to be.
send 127.0.2.1 "" default.asp -H 'X-Forwarded-For: 10.9.9.9'
expect_text "(127.0.2.*)" "the online list"
case $page in *"10.9.9."* | *"(127.0.0.*)"*) fail "the online list shows the proxy or a forged address" ;; esac

# Registrations per address: one client reaches its limit, the next client
# behind the same proxy still registers, and so posts at once.
refused=""
for i in $(seq 1 12); do
  send 127.0.2.1 $public 'signup.asp?action=RegSubmit' \
    --data "UserName=first$i&Password=pw&Password2=pw&Email=first$i@example.org"
  case $page in *"一小时内最多只能注册"*) refused=$i; break ;; esac
  expect_text "注册名" "registration $i from one client"
done
[ -n "$refused" ] || fail "twelve registrations from one address were taken"
send 127.0.3.1 $public 'signup.asp?action=RegSubmit' \
  --data 'UserName=second&Password=pw&Password2=pw&Email=second@example.org'
expect_text "注册名" "registration from the next client"
send 127.0.3.1 $public posting.asp \
  --data "action=posttopic&Forum=$busy_forum&UserName=second&Password=pw&topicsubject=next&Message=hi&MsgIcon=1"
expect_text "谢谢您发表新主题" "a post from the next client right after another client's"

cp "$work/nginx/error.log" "$out/nginx-error.log" 2>/dev/null || true
cp "$work/nginx/access.log" "$out/nginx-access.log" 2>/dev/null || true
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; logs in $out"
  exit 1
fi
echo "all checks passed"

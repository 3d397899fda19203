#!/usr/bin/env bash
# Load benchmark of posting. Seeds a board of the given size (or reuses one
# seeded before), serves a copy of it and lets concurrent clients post new
# topics and replies with wrk for a fixed time, each request as another
# member of the board. Prints posts per second, latency p50/p99 and the
# posts that were not thanked for (must be none), then checks on the
# stopped board that every counter matches a recount: each forum's topic and
# reply counts and last post, each topic's reply count and last reply, each
# member's post count.
#
#   scripts/post-bench.sh [--posts N] [--db FILE] [--duration SECONDS]
#                         [--connections N] [--threads N]
#
# --posts     size of the board (default 10000); the seeded board is kept
#             as build/bench/board-N.db for later runs, and the posts go to
#             a copy of it
# --db        seed into / reuse this file instead
# Only loopback traffic; the wrk run ends after its duration.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/lib/bench-options.sh
parse_bench_options post-bench 19 "$@"

scripts/install-deps.sh wrk sqlite3
scripts/build.sh >/dev/null

[ -n "$db" ] || db=build/bench/board-$posts.db
source scripts/lib/seeded-board.sh
seeded_board "$db" "$posts"

work=$(mktemp -d)
source scripts/lib/board-server.sh
trap 'stop_board_server; rm -rf "$work"' EXIT
board=$work/board.db
sqlite3 "$db" ".backup '$board'"

# A form value as the browser sends it: GBK bytes, percent-encoded.
form_value() {
  printf %s "$1" | iconv -f UTF-8 -t GBK | od -An -v -tx1 | tr -d ' \n' | sed 's/../%&/g'
}

# The posters: members of the board (not the administrator); where they
# post: the open forums and their open topics.
mapfile -t members < <(board_members "$board" 64)
mapfile -t forums < <(open_forums "$board")
mapfile -t topics < <(open_topics "$board" 200)
[ ${#members[@]} -gt 0 ] && [ ${#forums[@]} -gt 0 ] && [ ${#topics[@]} -gt 0 ] || {
  echo "post-bench: the board has no members, open forums or open topics to post to" >&2; exit 1; }
before=$(sqlite3 "$board" "select count(*) from post")

# The request bodies, alternating new topics and replies; wrk's script picks
# them round the list, so each request comes from another member.
bodies=$work/bodies.lua
{
  echo "bodies = {"
  for i in $(seq 0 $(( ${#members[@]} * 2 - 1 ))); do
    member=$(form_value "${members[$(( i / 2 ))]}")
    text=$(form_value "压力测试的贴子 [b]$i[/b] :)")
    if [ $((i % 2)) -eq 0 ]; then
      forum=$(form_value "${forums[$(( i / 2 % ${#forums[@]} ))]}")
      echo "  \"action=posttopic&forum=$forum&UserName=$member&Password=123456&TopicSubject=$(form_value "压力测试 $i")&MsgIcon=2&Message=$text\","
    else
      topic=${topics[$(( i / 2 % ${#topics[@]} ))]}
      echo "  \"action=postreply&Topic=$topic&UserName=$member&Password=123456&TopicSubject=Re&MsgIcon=3&Message=$text\","
    fi
  done
  echo "}"
} > "$bodies"

# Thanked posts carry "谢谢您" (GBK); anything else is an error.
cat > "$work/post.lua" <<LUA
dofile("$bodies")
local thanks = "\\208\\187\\208\\187\\196\\250"
local threads = {}
function setup(thread)
  thread:set("id", #threads)
  table.insert(threads, thread)
end
function init(args)
  n = id
  failed = 0
  wrk.method = "POST"
  wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
end
function request()
  n = n + 1
  return wrk.format(nil, "/posting.asp", nil, bodies[n % #bodies + 1])
end
function response(status, headers, body)
  if status ~= 200 or not string.find(body, thanks, 1, true) then
    failed = failed + 1
    -- The first answers that were no thanks, for the report.
    if failed <= 3 then
      local f = io.open("$work/failed-" .. id .. "-" .. failed .. ".html", "w")
      f:write(status, "\n", body)
      f:close()
    end
  end
end
function done(summary, latency, requests)
  local failures = 0
  for _, t in ipairs(threads) do failures = failures + t:get("failed") end
  io.write(string.format("RESULT %d %.1f %.2f %.2f %d %d\n", summary.requests,
    summary.requests / (summary.duration / 1e6), latency:percentile(50) / 1000,
    latency:percentile(99) / 1000, failures,
    summary.errors.connect + summary.errors.read + summary.errors.write + summary.errors.timeout))
end
LUA

start_board_server "$root/build/site/board-server" "$board" "$root/site/www" "$work/data" "$work/server.log"
echo "board-server at $BOARD_URL"
echo "wrk: $threads threads, $connections connections, ${duration}s of posting (${#members[@]} members," \
  "${#forums[@]} forums, ${#topics[@]} topics)"
result=$(wrk -t"$threads" -c"$connections" -d"${duration}s" --timeout 30s --latency -s "$work/post.lua" "$BOARD_URL" |
  sed -n 's/^RESULT //p')
stop_board_server
read -r requests rate p50 p99 failed socket_errors <<<"$result"
stored=$(( $(sqlite3 "$board" "select count(*) from post") - before ))
printf '%-22s %s\n' "posts sent" "$requests" "posts stored" "$stored" "posts per second" "$rate" \
  "latency p50" "${p50} ms" "latency p99" "${p99} ms" "not thanked" "$failed" "socket errors" "$socket_errors"

# Every counter against a recount of the rows.
mismatches=$(sqlite3 "$board" "
  select 'forum ' || forumname from forum f
   where ifnull(topiccount, 0) <> (select count(*) from post where forumname = f.forumname and parentid is null)
      or ifnull(replycount, 0) <> (select count(*) from post where forumname = f.forumname and parentid is not null)
      or lastposttime is not (select max(lastreplyposttime) from post where forumname = f.forumname and parentid is null)
  union all
  select 'topic ' || postid from post t
   where parentid is null
     and (ifnull(replycount, 0) <> (select count(*) from post where parentid = t.postid)
          or lastreplyposttime is not (select max(posttime) from post where postid = t.postid or parentid = t.postid))
  union all
  select 'member ' || username from register r
   where ifnull(postcount, 0) <> (select count(*) from post where username = r.username)")
for f in "$work"/failed-*.html; do
  [ -e "$f" ] || break
  echo "not thanked: $(head -n 1 "$f") $(tail -n +2 "$f" | iconv -f GBK -t UTF-8 | sed 's/<[^>]*>//g' | tr -s ' \n' ' ' | cut -c 1-200)"
done
if [ -n "$mismatches" ]; then
  echo "counters that do not match a recount ($(wc -l <<<"$mismatches")):"
  head -n 20 <<<"$mismatches"
else
  echo "counters: all match a recount"
fi
# A post in flight when wrk stopped may be stored without being counted.
[ "$failed" = 0 ] && [ "$socket_errors" = 0 ] && [ "$stored" -ge "$requests" ] && [ -z "$mismatches" ]

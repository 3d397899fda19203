#!/usr/bin/env bash
# Load benchmark of posting. Seeds a board of the given size (or reuses one
# seeded before), serves a copy of it and lets concurrent clients post new
# topics and replies with wrk for a fixed time, each request as another
# member of the board. Prints posts per second, latency p50/p99 and the
# posts that were not thanked for (must be none), then checks on the
# stopped board that every counter matches a recount: each forum's topic and
# reply counts and last post, each topic's reply count and last reply, each
# member's post count and points.
#
#
# Also prints the longest wait of a post, the posts refused with "database
# is locked", and the write-ahead log's peak during the run and its size
# after the board has had a quiet while (--quiet seconds, default 10). Run
# long enough on a big board (--posts 200000 --duration 300) to cross the
# search index's merge levels.
#
#   scripts/post-bench.sh [--posts N] [--db FILE] [--duration SECONDS]
#                         [--connections N] [--threads N] [--quiet SECONDS]
#                         [--rename-at SECONDS] [--delete-at SECONDS] [--server BINARY]
#
# --posts     size of the board (default 10000); the seeded board is kept
#             as build/bench/board-N.db for later runs, and the posts go to
#             a copy of it
# --db        seed into / reuse this file instead
# --rename-at the administrator renames the busiest forum (and back, as
#             often as time allows) from this second of the run on, while
#             the posters post; prints when each answer came and when the
#             last of the forum's posts had moved
# --delete-at the administrator deletes the busiest forum at this second of
#             the run; prints when the answer came and when its last post
#             was gone
# --server    the board-server to measure (another build's, to compare;
#             nothing is built then)
# Only loopback traffic; the wrk run ends after its duration.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

rename_at=""
delete_at=""
quiet=10
bench_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --rename-at) rename_at=$2; shift 2 ;;
    --delete-at) delete_at=$2; shift 2 ;;
    --quiet) quiet=$2; shift 2 ;;
    *) bench_args+=("$1"); shift ;;
  esac
done
source scripts/lib/bench-options.sh
parse_bench_options post-bench 30 ${bench_args[@]+"${bench_args[@]}"}

scripts/install-deps.sh wrk sqlite3
[ -n "$server" ] || scripts/build.sh >/dev/null

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
  locked = 0
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
    if string.find(body, "database is locked", 1, true) then locked = locked + 1 end
    -- The first answers that were no thanks, for the report.
    if failed <= 3 then
      local f = io.open("$work/failed-" .. id .. "-" .. failed .. ".html", "w")
      f:write(status, "\n", body)
      f:close()
    end
  end
end
function done(summary, latency, requests)
  local failures, refusals = 0, 0
  for _, t in ipairs(threads) do
    failures = failures + t:get("failed")
    refusals = refusals + t:get("locked")
  end
  io.write(string.format("RESULT %d %.1f %.2f %.2f %d %d %.2f %d\n", summary.requests,
    summary.requests / (summary.duration / 1e6), latency:percentile(50) / 1000,
    latency:percentile(99) / 1000, failures,
    summary.errors.connect + summary.errors.read + summary.errors.write + summary.errors.timeout,
    latency.max / 1000, refusals))
end
LUA

# Each client posts again at once, all from one address: the repeat-submit
# interval would refuse all but the first post of each.
echo "SubmitInterval = -1" > "$work/site.conf"
start_board_server "${server:-$root/build/site/board-server}" "$board" "$root/site/www" "$work/data" "$work/server.log" \
  "$work/site.conf"
echo "board-server at $BOARD_URL"
echo "wrk: $threads threads, $connections connections, ${duration}s of posting (${#members[@]} members," \
  "${#forums[@]} forums, ${#topics[@]} topics)"

# The log's size, every fifth of a second, its peak kept.
log_bytes() { stat -c %s "$board-wal" 2>/dev/null || echo 0; }
( peak=0; while :; do b=$(log_bytes); [ "$b" -gt "$peak" ] && { peak=$b; echo "$peak" > "$work/wal-peak"; }; sleep 0.2; done ) &
sampler=$!
trap 'kill $sampler 2>/dev/null; stop_board_server; rm -rf "$work"' EXIT

# The administrator renames the busiest forum and back while posts arrive.
if [ -n "$rename_at" ]; then
  busy=$(sqlite3 "$board" "select forumname from post group by forumname order by count(*) desc limit 1")
  IFS='|' read -r catalog restrict descript < <(sqlite3 "$board" \
    "select catalog, ifnull([restrict], ''), ifnull(descript, '') from forum where forumname = '${busy//\'/\'\'}'")
  ( sleep "$rename_at"
    from=$busy; to="$busy 改名"
    while :; do
      start=$(date +%s.%N)
      curl -s -o /dev/null --max-time 600 "$BOARD_URL/admin/forum.asp" --data \
        "action=submitedit&username=admin&password=admin&oldforumname=$(form_value "$from")&forumname=$(form_value "$to")&catalog=$(form_value "$catalog")&topicrestrict=$(form_value "${restrict%%&*}")&replyrestrict=$(form_value "${restrict##*&}")&descript=$(form_value "$descript")" || break
      answered=$(date +%s.%N)
      # Its posts follow in batches; the old name is free again after them.
      while [ "$(sqlite3 "$board" "select count(*) from forum_renaming" 2>/dev/null || echo 0)" != 0 ]; do
        sleep 0.2
      done
      awk -v a="$start" -v b="$answered" -v c="$(date +%s.%N)" \
        'BEGIN { printf "rename answered after %.1f s, its posts moved after %.1f s\n", b - a, c - a }' >> "$work/renames"
      tmp=$from; from=$to; to=$tmp
    done ) &
  renamer=$!
  trap 'kill $sampler $renamer 2>/dev/null; stop_board_server; rm -rf "$work"' EXIT
fi

# The administrator deletes the busiest forum while posts arrive; its posts
# may go after the answer.
if [ -n "$delete_at" ]; then
  busy=$(sqlite3 "$board" "select forumname from post group by forumname order by count(*) desc limit 1")
  ( sleep "$delete_at"
    start=$(date +%s.%N)
    curl -s -o /dev/null --max-time 600 "$BOARD_URL/admin/forum.asp" --data \
      "action=submitedit&username=admin&password=admin&oldforumname=$(form_value "$busy")&forumname=$(form_value "$busy")&catalog=x&deleteforum=on"
    answered=$(date +%s.%N)
    while [ "$(sqlite3 "$board" "select count(*) from post where forumname = '${busy//\'/\'\'}'" 2>/dev/null || echo 1)" != 0 ]; do
      sleep 0.2
    done
    awk -v a="$start" -v b="$answered" -v c="$(date +%s.%N)" \
      'BEGIN { printf "delete answered after %.1f s, its posts gone after %.1f s\n", b - a, c - a }' >> "$work/deletes"
  ) &
  deleter=$!
  trap 'kill $sampler $deleter 2>/dev/null; stop_board_server; rm -rf "$work"' EXIT
fi

result=$(wrk -t"$threads" -c"$connections" -d"${duration}s" --timeout 120s --latency -s "$work/post.lua" "$BOARD_URL" |
  sed -n 's/^RESULT //p')
[ -n "$rename_at" ] && { kill "$renamer" 2>/dev/null || true; wait "$renamer" 2>/dev/null || true; }
[ -n "$delete_at" ] && { wait "$deleter" 2>/dev/null || true; }
# The index's batches and merges finish, then the board stays quiet.
sleep "$quiet"
wal_after=$(log_bytes)
kill "$sampler" 2>/dev/null || true
stop_board_server
read -r requests rate p50 p99 failed socket_errors longest refused <<<"$result"
stored=$(( $(sqlite3 "$board" "select count(*) from post") - before ))
mb() { echo "$(( $1 / 1048576 )) MB"; }
printf '%-22s %s\n' "posts sent" "$requests" "posts stored" "$stored" "posts per second" "$rate" \
  "latency p50" "${p50} ms" "latency p99" "${p99} ms" "longest wait" "${longest} ms" "not thanked" "$failed" \
  "database is locked" "$refused" "socket errors" "$socket_errors" \
  "log peak" "$(mb "$(cat "$work/wal-peak" 2>/dev/null || echo 0)")" "log after ${quiet}s quiet" "$(mb "$wal_after")" \
  "index segments" "$(sqlite3 "$board" "select count(distinct segid) from post_words_idx")"
[ -s "$work/renames" ] && cat "$work/renames"
[ -s "$work/deletes" ] && cat "$work/deletes"

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
   where ifnull(postcount, 0) <> (select count(*) from post where username = r.username)
      or ifnull(jf, 0) <> 3 * (select count(*) from post where username = r.username
                                  and forumname is not (select forumname from points_excluded))
                          + (select count(*) from post p join post t on p.parentid = t.postid
                              where t.parentid is null and t.username = r.username and p.username <> r.username
                                and p.forumname is not (select forumname from points_excluded))")
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

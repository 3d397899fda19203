#!/usr/bin/env bash
# Fetches a fixed list of the board's addresses from a freshly seeded board
# and stores what each answered, to compare the pages of two builds byte for
# byte:
#
#   scripts/page-snapshot.sh --out /tmp/before [--server BINARY]
#   ... change, build ...
#   scripts/page-snapshot.sh --out /tmp/after
#   diff -r /tmp/before /tmp/after
#
# --server  the board-server to run (default build/site/board-server)
# --out     the folder for the answers, one file per address: the status,
#           the forwarding address and the body as sent (GBK)
# --posts   size of the seeded board (default 2000); the board is seeded
#           once a day into build/snapshot/board-N.db and each run works on
#           a copy of it, so two runs of the day start from the same board
# The visitor goes through the pages as a guest, then logs in as "admin",
# enters the private forum and goes through the control panel. The
# server's port and the clock times of the run itself are masked ("PORT",
# "hh:mm:ss"), so two runs compare equal.
# Only loopback traffic.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

server=$root/build/site/board-server
out=""
posts=2000
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server=$(realpath "$2"); shift 2 ;;
    --out) out=$2; shift 2 ;;
    --posts) posts=$2; shift 2 ;;
    -h|--help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "page-snapshot: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "$out" ] || { echo "page-snapshot: --out is required" >&2; exit 2; }

source scripts/lib/seeded-board.sh
seeded_board "build/snapshot/board-$posts.db" "$posts" >/dev/null
work=$(mktemp -d)
source scripts/lib/board-server.sh
trap 'stop_board_server; rm -rf "$work"' EXIT
cp "build/snapshot/board-$posts.db" "$work/board.db"
mkdir -p "$work/www"
[ ! -d site/www ] || cp -r site/www/. "$work/www/"
start_board_server "$server" "$work/board.db" "$work/www" "$work/data" "$work/server.log"

sql() { sqlite3 "$work/board.db" "$1"; }
# A query value as a browser sends it: the GBK bytes, each percent-encoded.
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n' | sed 's/../%&/g'; }

busy=$(gbk "$(sql "select forumname from forum order by topiccount desc limit 1")")
private=$(gbk "$(sql "select forumname from forum where lower(restrict)='private' limit 1")")
topic=$(sql "select postid from post where parentid is null and forumname=(select forumname from forum order by topiccount desc limit 1) order by replycount desc limit 1")
private_topic=$(sql "select postid from post where parentid is null and forumname in (select forumname from forum where lower(restrict)='private') limit 1")
forum_password=$(sql "select forumpassword from forum where lower(restrict)='private' limit 1")

started=$(date +%s)
rm -rf "$out"
mkdir -p "$out"
jar=$work/cookies
n=0
# fetch NAME PATH [curl options]: one address, answered into $out/NN-NAME.
fetch() {
  local name=$1 path=$2 file
  shift 2
  n=$((n + 1))
  file=$(printf '%s/%02d-%s' "$out" "$n" "$name")
  curl -s -b "$jar" -c "$jar" -o "$file.body" -w '%{http_code} %{redirect_url}\n' "$@" \
    "$BOARD_URL/$path" >"$file"
  cat "$file.body" >>"$file"
  rm "$file.body"
}

visit() {
  local who=$1
  fetch "$who-home" "default.asp"
  fetch "$who-list" "list.asp?GroupName=$busy"
  fetch "$who-list-page2" "list.asp?GroupName=$busy&page=2"
  fetch "$who-list-none" "list.asp?GroupName=nothing"
  fetch "$who-list-all-page3" "list.asp?GroupName=$busy&DaysPrune=0&page=3"
  fetch "$who-list-day" "list.asp?GroupName=$busy&DaysPrune=1"
  fetch "$who-list-year-last" "list.asp?GroupName=$busy&DaysPrune=365&page=999"
  fetch "$who-thread" "newsdetail.asp?id=$topic"
  fetch "$who-thread-page2" "newsdetail.asp?id=$topic&page=2"
  fetch "$who-thread-none" "newsdetail.asp?id=999999"
  fetch "$who-private-list" "list.asp?GroupName=$private"
  fetch "$who-private-thread" "newsdetail.asp?id=$private_topic"
  fetch "$who-private-announce" "ubbmisc.asp?action=getannounce&forum=$private"
  fetch "$who-private-download" "download.asp?id=$private_topic"
  fetch "$who-announce" "ubbmisc.asp?action=GetAnnounce&forum=$busy"
  fetch "$who-hot" "hot.asp"
  fetch "$who-morereply" "morereply.asp"
  fetch "$who-active" "active.asp"
  fetch "$who-top" "top.asp"
  fetch "$who-online" "online.asp"
  fetch "$who-search" "search.asp"
  fetch "$who-search-results" "search.asp?action=simplesearch" --data "SearchTerms=$(gbk 的)&ForumChoice=all&SearchIn=subject&SearchDate=365&BooleanAnd=no"
  fetch "$who-search-page2" "search.asp?action=GotoPage&page=2"
  fetch "$who-search-messages" "search.asp?action=simplesearch" --data "SearchTerms=$(gbk 备份)&ForumChoice=all&SearchIn=all&SearchDate=all&BooleanAnd=yes"
  fetch "$who-search-messages-page3" "search.asp?action=GotoPage&page=3"
  fetch "$who-search-messages-past-end" "search.asp?action=GotoPage&page=9999"
  fetch "$who-search-forum" "search.asp?action=simplesearch" --data "SearchTerms=$(gbk 备份)&ForumChoice=$busy&SearchIn=all&SearchDate=all&BooleanAnd=yes"
  fetch "$who-search-forum-page2" "search.asp?action=GotoPage&page=2"
  fetch "$who-sendthread" "ubbmisc.asp?action=sendthread&id=$topic"
  fetch "$who-download" "download.asp?id=$topic"
  fetch "$who-signup" "signup.asp"
  fetch "$who-signup-form" "signup.asp?action=Agree"
  fetch "$who-option" "option.asp"
  fetch "$who-profile" "profile.asp"
  fetch "$who-lostpw" "ubbmisc.asp?action=lostpw"
  fetch "$who-pm" "pm.asp"
  fetch "$who-pm-outbox" "pm.asp?action=outbox"
  fetch "$who-ubbmisc-none" "ubbmisc.asp"
  fetch "$who-ubbmisc-unknown" "ubbmisc.asp?action=nothing"
  fetch "$who-today" "search.asp?action=getdaily"
  fetch "$who-today-page2" "search.asp?action=GotoPage&page=2"
  for order in signdate username postcount jf; do fetch "$who-members-$order" "member.asp?orderby=$order"; done
  fetch "$who-members-page2" "member.asp?orderby=postcount&page=2"
  fetch "$who-members-letter" "member.asp?letter=A"
  fetch "$who-members-letter-order" "member.asp?letter=@&orderby=jf"
}

fetch start "Default.htm"
fetch jump "jump.asp?jumpTo=list.asp%3FGroupName%3D$busy"
fetch jump-away "jump.asp?jumpTo=http://elsewhere.example/"
fetch missing "nothing.asp"
visit guest
fetch login-get "login.asp?UserName=admin&Password=admin"
fetch login "login.asp" --data "UserName=admin&Password=admin"
visit member
fetch idcheck "ubbmisc.asp" --data "action=idcheck&forum=$private&ForumPassword=$forum_password&url=list.asp%3FGroupName%3D$private"
fetch admitted-list "list.asp?GroupName=$private"
fetch admitted-thread "newsdetail.asp?id=$private_topic"
# The control panel: every page before and after the panel login, an
# unknown action of each, and the forms of each page's steps.
L="UserName=admin&Password=admin"
panel_pages="forum member misc account mail broadcast edit announce archive upload jscode analyzer"
for pg in $panel_pages; do
  fetch "panel-$pg" "admin/$pg.asp"
  fetch "panel-$pg-unknown" "admin/$pg.asp" --data "action=xyz&$L"
done
fetch panel-login "admin/forum.asp" --data "$L&action=login&StartPoint=0"
for pg in $panel_pages; do fetch "panel-admin-$pg" "admin/$pg.asp"; done
fetch panel-forum-order "admin/forum.asp?action=order&sortby=alpha"
fetch panel-forum-new "admin/forum.asp?action=addforums"
fetch panel-forum-get "admin/forum.asp?action=getforum&forumname=$busy"
fetch panel-member-matches "admin/member.asp?action=getmatches&ViewEntire=yes"
fetch panel-member-bio "admin/member.asp?action=getbio4admin&UserName=admin"
fetch panel-edit-prune "admin/edit.asp" --data "$L&action=EditFunction&EditFunction=Prune"
fetch panel-edit-pruneuser "admin/edit.asp" --data "$L&action=EditFunction&EditFunction=PruneUser&DeleteName=a"
fetch panel-edit-edit "admin/edit.asp" --data "$L&action=EditFunction&EditFunction=Edit"
fetch panel-edit-bydate "admin/edit.asp?action=PrunebyDate&forumname=$busy&DaysPrune=30"
fetch panel-edit-byuser "admin/edit.asp?action=PruneByUser&forumname=$busy&MatchUser=admin"
fetch panel-edit-forum "admin/edit.asp?action=AdminEditThisForum&forumname=$busy&DaysPrune=30"
fetch panel-edit-threads "admin/edit.asp?action=GetEditthreads&Topic=$topic"
fetch panel-edit-subject "admin/edit.asp?action=GetExactEditMessage&EditSubject=yes&topic=$topic"
fetch panel-edit-delete "admin/edit.asp?action=GetExactEditMessage&DeleteThread=yes&topic=$topic"
fetch panel-edit-post "admin/edit.asp?action=GetExactEditMessage&editMessageNumber=$topic"
fetch panel-announce-create "admin/announce.asp" --data "$L&action=enter&AnnounceFunction=CreateAnnouncement"
fetch panel-announce-edit "admin/announce.asp" --data "$L&action=enter&AnnounceFunction=EditAnnouncement"
fetch panel-announce-review "admin/announce.asp" --data "$L&action=reviewannounce&editannounce=$(sql "select id from announce limit 1")"
fetch panel-archive-enter "admin/archive.asp" --data "$L&action=enterarchive"
fetch panel-analyzer "admin/analyzer.asp?Year=2026&Month=1"
fetch panel-mail-empty "admin/mail.asp" --data "$L&subject=&message="
fetch panel-broadcast-refused "admin/broadcast.asp" --data "UserName=admin&Password=bad&Subject=a&message=b"
fetch pm-unknown "pm.asp?action=xyz"
fetch search-unknown "search.asp?action=xyz"
fetch profile-unknown "profile.asp?action=xyz"
# Mask what depends on the port and the time of the run.
masks=(-e "s|$BOARD_URL|http://127.0.0.1:PORT|g")
for ((t = started; t <= $(date +%s); t++)); do masks+=(-e "s/$(date -d "@$t" +%T)/hh:mm:ss/g"); done
LC_ALL=C sed -i "${masks[@]}" "$out"/*
echo "page-snapshot: $n answers in $out"

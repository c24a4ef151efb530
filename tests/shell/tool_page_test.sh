#!/usr/bin/env bash
# kotonami-tool's page commands on real files: exit codes, encodings, CR LF, insertion.
set -uo pipefail
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
check() { # description, condition...
    local what="$1"
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
printf '\x82\xa0\x82\xa2\r\n\x82\xa4\x82\xa6\r\n' >"$work/poem.txt" # あい / うえ
"$tool" page "$work/poem.txt" -o "$work/page.htm"
check "page exits 0" test $? -eq 0
check "page lines end in CR LF" grep -q $'\r$' "$work/page.htm"
check "page is code page 932" grep -q $'\x82\xa0' "$work/page.htm"
check "page has the update marker" grep -q -- '<!--update-->' "$work/page.htm"
"$tool" page --output-encoding utf-8 <"$work/poem.txt" >"$work/page8.htm"
check "utf-8 output" grep -q 'あ' "$work/page8.htm"
printf '<HTML>\r\n<!--insert-->\r\n</HTML>\r\n' >"$work/site.htm"
"$tool" insert --into "$work/site.htm" "$work/poem.txt" -o "$work/site2.htm"
check "insert exits 0" test $? -eq 0
check "insert keeps the marker" grep -q -- '<!--insert-->' "$work/site2.htm"
check "insert adds the poem" grep -q $'\x82\xa0' "$work/site2.htm"
printf '<HTML>\r\n</HTML>\r\n' >"$work/bare.htm"
"$tool" insert --into "$work/bare.htm" "$work/poem.txt" -o "$work/none.htm" 2>"$work/err"
check "no insertion point exits 1" test $? -eq 1
check "no insertion point writes nothing" test ! -e "$work/none.htm"
check "no insertion point says so" grep -q '挿入箇所がありません' "$work/err"
"$tool" insert "$work/poem.txt" 2>/dev/null
check "insert without --into is bad usage" test $? -eq 2
"$tool" page "$work/missing.txt" 2>/dev/null
check "a missing input exits 1" test $? -eq 1
"$tool" speak "$work/poem.txt" -o "$work/poem.wav" --speaker Kenji
check "speak exits 0" test $? -eq 0
check "speak writes a WAV file" grep -q RIFF "$work/poem.wav"
"$tool" speak "$work/poem.txt" -o "$work/none.wav" --speaker Nobody 2>/dev/null
check "an unknown speaker is bad usage" test $? -eq 2
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

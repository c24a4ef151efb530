#!/usr/bin/env bash
# kotonami-tool's page commands on real files: exit codes, encodings, CR LF, insertion,
# empty poems, hostile settings values; and every command's --help.
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
absent() { ! grep -q -i -E "$@"; } # pattern, file
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
# No text to convert, as the window sees it: the pages are refused, nothing is written.
printf '' >"$work/empty.txt"
printf '\r\n' >"$work/break.txt"
printf '\xef\xbb\xbf' >"$work/bom.txt"
for command in page longpage insert; do
    words=("$command")
    [ "$command" = insert ] && words+=(--into "$work/site.htm")
    for poem in empty.txt break.txt bom.txt; do
        "$tool" "${words[@]}" "$work/$poem" -o "$work/empty.htm" 2>"$work/err"
        check "$command $poem exits 1" test $? -eq 1
        check "$command $poem writes nothing" test ! -e "$work/empty.htm"
        check "$command $poem says so" grep -q '変換文字列がありません' "$work/err"
    done
    "$tool" "${words[@]}" <"$work/empty.txt" >"$work/stdout" 2>/dev/null
    check "$command on empty standard input exits 1" test $? -eq 1
    check "$command on empty standard input prints nothing" test ! -s "$work/stdout"
done
# Settings values written into attributes and the title stay values.
printf '[Form\\bgc]\r\nstring=#fff" onload="alert(1)\r\n[Form\\Linu]\r\nstring=" onmouseover="alert(1)\r\n' >"$work/hostile.ini"
printf '[Form\\FLink]\r\nChecked=1\r\n[Form\\Edit5]\r\nText=</TITLE><script>alert(1)</script>\r\n' >>"$work/hostile.ini"
"$tool" page --settings "$work/hostile.ini" "$work/poem.txt" -o "$work/hostile.htm"
check "hostile settings still make a page" test $? -eq 0
check "no attribute from the settings" absent 'onload="|onmouseover="' "$work/hostile.htm"
check "no element from the settings" absent '<script' "$work/hostile.htm"
check "the values stay in the page" grep -q 'bgcolor="#fff&quot; onload=&quot;alert(1)"' "$work/hostile.htm"
check "the link stays in the page" grep -q 'href="&quot; onmouseover=&quot;alert(1)"' "$work/hostile.htm"
# Every command's --help: its usage on standard output, exit 0.
for command in count encoding manyogana kata2hira kata2kanji hira2kata page longpage insert speak; do
    "$tool" "$command" --help >"$work/help" 2>"$work/err"
    check "$command --help exits 0" test $? -eq 0
    check "$command --help prints its usage" grep -q -w -- "$command" "$work/help"
    check "$command --help prints nothing on standard error" test ! -s "$work/err"
done
"$tool" speak "$work/poem.txt" -o "$work/poem.wav" --speaker Kenji
check "speak exits 0" test $? -eq 0
check "speak writes a WAV file" grep -q RIFF "$work/poem.wav"
"$tool" speak "$work/poem.txt" -o "$work/none.wav" --speaker Nobody 2>/dev/null
check "an unknown speaker is bad usage" test $? -eq 2
# Output that cannot be written is an error, and a device given as the output stays one.
printf '\x83\x4a\x83\x69\r\n' >"$work/kana.txt" # カナ
for command in kata2hira page; do
    LC_ALL=C.UTF-8 "$tool" "$command" "$work/kana.txt" -o /dev/full 2>"$work/err"
    check "$command -o /dev/full exits 1" test $? -eq 1
    check "$command -o /dev/full gives the system's reason" grep -q 'No space left on device' "$work/err"
    "$tool" "$command" "$work/kana.txt" -o /dev/null
    check "$command -o /dev/null exits 0" test $? -eq 0
    check "/dev/null is still a device after $command" test -c /dev/null
done
ln -s "$work/target.txt" "$work/link.txt"
"$tool" kata2hira "$work/kana.txt" -o "$work/link.txt"
check "-o through a symbolic link keeps the link" test -L "$work/link.txt"
check "-o through a symbolic link writes its target" grep -q $'\x82\xa9' "$work/target.txt"
# Encodings the tool names.
printf '\xff\xfeB0' >"$work/utf16.txt"
printf '\xa4\xa2\xa4\xa4\xbb\xb3\n' >"$work/euc.txt"
printf '\x1b$B$"\x1b(B\r\n' >"$work/jis.txt"
"$tool" encoding "$work/utf16.txt" "$work/euc.txt" "$work/jis.txt" >"$work/enc"
check "encoding names UTF-16, EUC-JP and ISO-2022-JP" \
    test "$(cut -f2 "$work/enc" | tr '\n' ' ')" = "utf-16le euc-jp iso-2022-jp "
# Readings: ruby wins, and every format answers.
printf '天の原 ふりさけ見れば ｜春日《かすが》なる\n' >"$work/ruby.txt"
"$tool" reading "$work/ruby.txt" >"$work/reading"
check "reading takes the ruby's reading" grep -q 'かすが' "$work/reading"
check "reading never shows the notation" absent '[《》｜]' "$work/reading"
"$tool" reading --format romaji "$work/ruby.txt" | grep -q 'kasuga'
check "romaji of the same reading" test $? -eq 0
"$tool" reading --format ruby "$work/ruby.txt" | grep -q '原《はら》\|天の原《あまのはら》'
check "ruby format writes readings as ruby" test $? -eq 0
"$tool" reading --format braille "$work/ruby.txt" 2>/dev/null
check "an unknown format is bad usage" test $? -eq 2
"$tool" speak "$work/poem.txt" -o "$work/fast.wav" --speed 300 2>/dev/null
check "speak --speed outside 130-188 is bad usage" test $? -eq 2
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

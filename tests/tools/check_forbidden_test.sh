#!/usr/bin/env bash
# Plants small source trees and runs tools/check-forbidden on each: a clean
# tree passes, every kind of breach fails and names the file.
set -u
check="$1"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0

# plant <case> <path> <line>: one source file of one line in a fresh tree.
plant() {
  rm -rf "$root/$1"
  mkdir -p "$root/$1/$(dirname "$2")"
  printf '%s\n' "$3" > "$root/$1/$2"
}

expect_clean() {
  if ! out=$("$check" "$root/$1" 2>&1); then
    echo "FAIL $1: expected clean, got: $out"
    failures=$((failures + 1))
  fi
}

expect_breach() {
  if out=$("$check" "$root/$1" 2>&1) || ! grep -q "$2" <<<"$out"; then
    echo "FAIL $1: expected a report on $2, got: $out"
    failures=$((failures + 1))
  fi
}

plant downward objects/A.cpp '#include "foundation/CFile.h"'
expect_clean downward
plant same-layer game/world/A.cpp '#include "game/world/B.h"'
expect_clean same-layer
plant member-calls foundation/A.cpp 'int t = clock.time(); uint32_t n = GetTime(); x->system(1); Foo::getenv(2); // time(0)'
expect_clean member-calls
plant platform-calls platform/A.cpp 'std::FILE* f = fopen("a", "rb"); std::time(nullptr);'
expect_clean platform-calls

plant upward foundation/A.cpp '#include "objects/CObject.h"'
expect_breach upward 'foundation/A.cpp:1: includes objects/CObject.h'
plant upward-from-platform platform/A.h '#include "foundation/CJString.h"'
expect_breach upward-from-platform 'platform/A.h:1: includes foundation/CJString.h'
plant upward-game game/world/A.cpp '#include "game/screens/Title.h"'
expect_breach upward-game 'game/world/A.cpp:1: includes game/screens/Title.h'
# The world and the business are one library in two folders.
plant world-to-business game/world/A.cpp '#include "game/business/CCustomer.h"'
expect_clean world-to-business
plant business-to-world game/business/A.cpp '#include "game/world/CLot.h"'
expect_clean business-to-world
plant upward-business game/business/A.cpp '#include "game/screens/Title.h"'
expect_breach upward-business 'game/business/A.cpp:1: includes game/screens/Title.h'
plant world-above-scripting game/scripting/A.cpp '#include "game/business/CCustomer.h"'
expect_breach world-above-scripting 'game/scripting/A.cpp:1: includes game/business/CCustomer.h'
plant sound-below-shell shell/A.cpp '#include "sound/CSoundDevice.h"'
expect_clean sound-below-shell
plant upward-from-sound sound/A.cpp '#include "shell/CGameBase.h"'
expect_breach upward-from-sound 'sound/A.cpp:1: includes shell/CGameBase.h'
plant sound-above-render render/A.cpp '#include "sound/CSoundList.h"'
expect_breach sound-above-render 'render/A.cpp:1: includes sound/CSoundList.h'
plant fopen blit/A.cpp 'FILE* f = fopen("a", "rb");'
expect_breach fopen 'blit/A.cpp: operating-system call'
plant std-time objects/A.cpp 'auto now = std::time(nullptr);'
expect_breach std-time 'objects/A.cpp: operating-system call'
plant global-getenv foundation/A.cpp 'const char* home = ::getenv("HOME");'
expect_breach global-getenv 'foundation/A.cpp: operating-system call'
plant sdl ui/A.cpp '#include <SDL.h>'
expect_breach sdl 'ui/A.cpp: platform header'

[ $failures -eq 0 ] && echo "check-forbidden cases: all passed"
exit $((failures != 0))

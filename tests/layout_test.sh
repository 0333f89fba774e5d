#!/usr/bin/env bash
# The folders of the tree include each other one way only: each folder may
# include the folders listed beside it (and itself), nothing above it.
#   layout_test.sh SOURCE_DIR
set -uo pipefail
cd "$1"
declare -A allowed=(
  [src/text]=""
  [src/settings]=""
  [src/protocol]="settings"
  [src/loop]=""
  [src/serial]="text loop"
  [src/session]="settings protocol serial loop"
  [src/transfer]="text settings protocol serial session loop"
  [src/profile]=""
  [src/exchange]="text settings protocol loop transfer"
  [src/render]="settings"
  [src/widgets]="loop transfer"
  [src/dialogs]="widgets text settings protocol serial session loop transfer"
  [src/editor]="widgets settings protocol serial session loop transfer"
  [src/fleet]="widgets exchange profile text settings protocol serial session loop transfer"
  [src/preview]="widgets render profile settings protocol"
  [src/app]="widgets dialogs editor fleet preview render profile text settings protocol serial session loop transfer"
  [tools/options]="text"
  [tools/sign_sim]="text settings protocol serial session loop transfer"
  [tools/cli]="text settings protocol serial session loop transfer profile exchange render"
)
failures=0
for folder in src/* tools/*; do
  [ -d "$folder" ] || continue
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "FAILED: $folder is not in the table of folders"
    failures=$((failures + 1))
    continue
  fi
  own=${folder#*/}
  while IFS=: read -r file _ included; do
    target=${included#*\"}
    target=${target%%/*}
    [ "$target" = "$own" ] || [ "$folder" = "tools/$own" -a "$target" = tools ] && continue
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "FAILED: $file includes $target/ (${included#*#include })"; failures=$((failures + 1)) ;;
    esac
  done < <(grep -rnE '^#include "[a-z_]+/' "$folder")
done
[ "$failures" -eq 0 ] && echo "every folder includes only the folders below it"
exit $((failures > 0))

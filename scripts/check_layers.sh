#!/usr/bin/env bash
# check_layers.sh: fails when a source includes one of our headers from a higher layer.
# Layers, low to high: model/ (no Qt), link/, dsp/ (the widget-free maths and readers: it stands
# on the model alone) and audio/ (the sound server), session/ (no widgets), the widgets shared by the
# views (widgets/, the response graph in graph/, the form's texts in i18n/), the views (views/, one
# per family, and the tuning tools in tuning/; a view never includes another view), then app/, the
# window that composes them.
# cli/ (the command line) stands on the session like the widgets, but may not include them.
# A file may include from its own layer and the layers below it. Our headers are always included
# by folder ("link/frame.h"), so a bare name is refused too: it would slip past this check.
set -euo pipefail
cd "$(dirname "$0")/.."

ui_folders="widgets graph i18n views tuning app"

rank() { # rank FOLDER: the layer of one of our folders, or nothing for any other name
    case $1 in
    model) echo 0 ;;
    link) echo 1 ;;
    dsp | audio) echo 2 ;;
    session) echo 3 ;;
    widgets | graph | i18n) echo 4 ;;
    views | tuning) echo 5 ;;
    app | cli) echo 6 ;;
    esac
}
names=(model link "maths and audio" session "shared widgets" views app)

# same_view FILE HEADER: both belong to one view. A view's files are views/NAME.* and its own
# parts views/NAME_*.* (dialogs, the transfer of the scene actions), where views/NAME.h exists.
same_view() {
    local a b view
    a=$(basename "${1%.*}")
    b=$(basename "${2%.*}")
    for view in views/*.h; do
        view=$(basename "${view%.h}")
        if { [ "$a" = "$view" ] || [ "${a#"${view}"_}" != "$a" ]; } &&
            { [ "$b" = "$view" ] || [ "${b#"${view}"_}" != "$b" ]; }; then
            return 0
        fi
    done
    return 1
}

faults=0
for folder in model link dsp audio session $ui_folders cli; do
    [ -d "$folder" ] || continue
    own=$(rank "$folder")
    [ "$folder" = cli ] && own=3 # the session's layer: nothing from the widget folders
    while IFS=: read -r file line target; do
        top=${target%%/*}
        if [ "$top" = "$target" ]; then
            echo "layers: $file:$line: #include \"$target\": name the folder of our header"
            faults=$((faults + 1))
            continue
        fi
        theirs=$(rank "$top")
        if [ "$folder" = cli ] && [ "$top" = cli ]; then continue; fi
        if { [ "$own" = 5 ] && [ "$theirs" = 5 ] && [ "$top" != "$folder" ]; } ||
            { [ "$folder" = views ] && [ "$top" = views ] && ! same_view "$file" "$target"; }; then
            echo "layers: $file:$line: #include \"$target\": a view does not include another view"
            faults=$((faults + 1))
            continue
        fi
        if [ -n "$theirs" ] && [ "$theirs" -gt "$own" ]; then
            echo "layers: $file:$line: #include \"$target\": ${names[$own]} ($folder/) may not" \
                "include from ${names[$theirs]} ($top/)"
            faults=$((faults + 1))
        fi
    done < <(grep -rnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" |
        sed -E 's/^([^:]*):([0-9]*):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1:\2:\3/')
done

if [ "$faults" -gt 0 ]; then
    echo "layers: $faults includes of a higher layer" >&2
    exit 1
fi
echo "layers: no include of a higher layer"

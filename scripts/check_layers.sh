#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own, or when the Qt-free
# core (platform/sys, snmp, config, exposure, record, monitor, metrics) includes a Qt header. The layers, bottom up:
#   platform/sys < snmp, config < exposure < record < monitor < metrics < platform/qt < res < diag < config/dialogs < view < app
# exposure is the field's arithmetic (no SQLite, no Qt) under the record; levels (the record's
# command-line reader) on record and config, apart from the display;
# chart (the history chart, Qt GUI without widgets) on record, under view; report (the record
# as a PDF) on levels and chart, apart from the display.
# Each folder may include its own headers and those of the folders listed for it below.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed_for() {
    case $1 in
    platform/sys) echo "platform/sys" ;;
    snmp) echo "platform/sys snmp" ;;
    config) echo "platform/sys config" ;;
    exposure) echo "platform/sys config exposure" ;;
    record) echo "platform/sys config exposure record" ;;
    levels) echo "platform/sys config exposure record levels" ;;
    chart) echo "platform/sys config exposure record chart" ;;
    report) echo "platform/sys config exposure record levels chart report" ;;
    monitor) echo "platform/sys snmp config exposure record monitor" ;;
    metrics) echo "platform/sys snmp config exposure record monitor metrics" ;;
    platform/qt) echo "platform/sys platform/qt" ;;
    res) echo "platform/sys platform/qt res" ;;
    diag) echo "platform/sys snmp config exposure record monitor metrics platform/qt res diag" ;;
    config/dialogs) echo "platform/sys snmp config exposure record monitor metrics platform/qt res config/dialogs" ;;
    view) echo "platform/sys snmp config exposure record monitor metrics chart platform/qt res diag config/dialogs view" ;;
    app) echo "platform/sys snmp config exposure record monitor metrics chart platform/qt res diag config/dialogs view app" ;;
    tools) echo "tools" ;;
    esac
}

is_core() {
    case $1 in platform/sys | snmp | config | exposure | record | levels | monitor | metrics | tools) return 0 ;; esac
    return 1
}

# The folder a file belongs to: the longest layer name its path starts with.
layer_of() {
    local path=$1
    for layer in config/dialogs platform/sys platform/qt snmp config exposure record levels chart report monitor metrics res diag view app tools; do
        if [[ $path == "$layer"/* ]]; then
            echo "$layer"
            return
        fi
    done
}

status=0
while IFS= read -r file; do
    layer=$(layer_of "$file")
    [ -n "$layer" ] || continue
    allowed=" $(allowed_for "$layer") "
    while IFS= read -r line; do
        if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            target=$(layer_of "${BASH_REMATCH[1]}")
            if [ -n "$target" ] && [[ $allowed != *" $target "* ]]; then
                echo "$file: includes ${BASH_REMATCH[1]}, from a layer above $layer" >&2
                status=1
            fi
        elif [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<sqlite3\.h\> ]] && [ "$layer" = exposure ]; then
            echo "$file: the exposure arithmetic includes <sqlite3.h>, which is the record's alone" >&2
            status=1
        elif [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z]*)(/[^\>]*)?\> ]] && is_core "$layer"; then
            echo "$file: the Qt-free $layer includes <${BASH_REMATCH[1]}${BASH_REMATCH[2]}>" >&2
            status=1
        fi
    done <"$file"
done < <(git ls-files -co --exclude-standard -- '*.h' '*.cpp')
if [ $status -eq 0 ]; then
    echo "check_layers: every include points down a layer"
fi
exit $status

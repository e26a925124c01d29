#!/usr/bin/env bash
# The shipped examples are taken as they stand by the tools they are written for: Prometheus'
# scrape job over TLS, the web configuration with certificates in place, systemd's drop-in; and
# the cron line asks for last month. (The route and the plain job run in alert_test.sh.)
#   examples_test.sh SOURCE-DIR
set -euo pipefail
root=$1 examples=$1/docs/examples
work=$(mktemp -d /tmp/decimon-examples-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The Prometheus files name the server's own folder: here a private one with the same files.
"$root/tests/support/make_tls_credentials.sh" "$work" >/dev/null
for pair in display.crt:server.crt display.key:server.key plant-ca.crt:clients-ca.crt prometheus.crt:client.crt \
            prometheus.key:client.key; do
  ln -s "$work/${pair#*:}" "$work/${pair%%:*}"
done
echo change-me >"$work/decimon.password"
sed "s|/etc/prometheus/|$work/|" "$examples/prometheus-decimon-tls.yml" >"$work/tls.yml"
promtool check config "$work/tls.yml" >"$work/log" 2>&1 || fail "promtool check config: $(cat "$work/log")"
cp "$examples/web.yml" "$work/"
promtool check web-config "$work/web.yml" >"$work/log" 2>&1 || fail "promtool check web-config: $(cat "$work/log")"

# The drop-in, as a unit of its own.
sed -n '/^\[Unit\]/,$p' "$examples/getty-autologin.conf" >"$work/getty-check.service"
systemd-analyze verify --man=no "$work/getty-check.service" 2>"$work/log" && [ ! -s "$work/log" ] ||
  fail "systemd: $(cat "$work/log")"

# The cron line, its \% made % as cron makes them, asks for the whole of last month (on any
# day, though cron runs it on the first).
mkdir "$work/bin" && printf '#!/bin/sh\nprintf "%%s\\n" "$@"\n' >"$work/bin/decimon-report" && chmod +x "$work/bin/decimon-report"
line=$(grep -v '^#' "$examples/decimon-report.cron" | cut -d' ' -f6- | sed 's/\\%/%/g')
asked=$(PATH="$work/bin:$PATH" HOME=/home/wall sh -c "$line" | tr '\n' ' ')
month=$(python3 -c 'import calendar, datetime
d = datetime.date.today().replace(day=1) - datetime.timedelta(days=1)
print(d.strftime("%Y-%m"), calendar.monthrange(d.year, d.month)[1])')
[ "$asked" = "--from ${month% *}-01 --to ${month% *}-${month#* } --output /home/wall/noise-${month% *}.pdf " ] ||
  fail "the cron line asks for: $asked"
echo "examples: the TLS scrape job, the web configuration, the kiosk's drop-in and the cron line as shipped"

#!/usr/bin/env bash
# The shipped examples are taken as they stand by the tools they are written for: Alertmanager's
# route, Prometheus' scrape jobs with the rules, the web configuration with certificates in
# place, systemd's drop-in, the shell's .profile lines; and the cron line asks for last month.
#   examples_test.sh SOURCE-DIR
set -euo pipefail
root=$1 examples=$1/docs/examples
work=$(mktemp -d /tmp/decimon-examples-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

amtool check-config "$examples/alertmanager.yml" >"$work/log" 2>&1 || fail "amtool: $(cat "$work/log")"

# The Prometheus files name the server's own folder: here a private one with the same files.
"$root/tests/support/make_tls_credentials.sh" "$work" >/dev/null
for pair in display.crt:server.crt display.key:server.key plant-ca.crt:clients-ca.crt prometheus.crt:client.crt \
            prometheus.key:client.key; do
  ln -s "$work/${pair#*:}" "$work/${pair%%:*}"
done
cp "$root/metrics/decimon.rules.yml" "$work/" && echo change-me >"$work/decimon.password"
for config in prometheus-decimon.yml prometheus-decimon-tls.yml; do
  sed "s|/etc/prometheus/|$work/|" "$examples/$config" >"$work/$config"
  promtool check config "$work/$config" >"$work/log" 2>&1 || fail "promtool check config $config: $(cat "$work/log")"
done
cp "$examples/web.yml" "$work/"
promtool check web-config "$work/web.yml" >"$work/log" 2>&1 || fail "promtool check web-config: $(cat "$work/log")"

# The drop-in on the unit it is made for, as a unit of its own, and the lines of .profile.
sed -n '/^\[Unit\]/,$p' "$examples/getty-autologin.conf" >"$work/getty-check.service"
systemd-analyze verify --man=no "$work/getty-check.service" 2>"$work/log" && [ ! -s "$work/log" ] ||
  fail "systemd: $(cat "$work/log")"
grep -q '^StartLimitIntervalSec=0$' "$examples/getty-autologin.conf" || fail "the kiosk's console keeps a start limit"
sh -n "$examples/kiosk.profile" || fail "kiosk.profile is no shell"

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
echo "examples: Alertmanager, Prometheus, the web configuration, the kiosk and the cron line as shipped"

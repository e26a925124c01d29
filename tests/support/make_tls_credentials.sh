#!/usr/bin/env bash
# Makes the metrics endpoint's test credentials in FOLDER: a server certificate for 127.0.0.1
# (server.crt, server.key), a CA for clients (clients-ca.crt) with a client it signed
# (client.crt, client.key), with the client's key a certificate for servers only (server-only.crt)
# and an expired one (expired.crt), a client it did not sign (stranger.crt, stranger.key), an RSA
# server certificate (server-rsa.crt, server-rsa.key), and in
# `hash` the bcrypt hash of the password "s3cret" at COST (default 4, the cheapest).
#   make_tls_credentials.sh FOLDER [COST]
set -euo pipefail
cd "$1"
cost=${2:-4}
key() { printf '%s\n' -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2; }
mapfile -t new_key < <(key)
openssl req -x509 "${new_key[@]}" -keyout server.key -out server.crt -subj /CN=127.0.0.1 \
  -addext subjectAltName=IP:127.0.0.1 2>/dev/null
openssl req -x509 "${new_key[@]}" -keyout clients-ca.key -out clients-ca.crt -subj /CN=clients 2>/dev/null
openssl req "${new_key[@]}" -keyout client.key -out client.csr -subj /CN=prometheus 2>/dev/null
openssl x509 -req -in client.csr -CA clients-ca.crt -CAkey clients-ca.key -CAcreateserial -days 2 \
  -out client.crt 2>/dev/null
# Signed by the same CA: one for servers only, and one expired yesterday.
printf 'extendedKeyUsage=serverAuth\n' >server-only.ext
openssl x509 -req -in client.csr -CA clients-ca.crt -CAkey clients-ca.key -days 2 -extfile server-only.ext \
  -out server-only.crt 2>/dev/null
openssl x509 -req -in client.csr -CA clients-ca.crt -CAkey clients-ca.key -days -1 -out expired.crt 2>/dev/null
openssl req -x509 "${new_key[@]}" -keyout stranger.key -out stranger.crt -subj /CN=stranger 2>/dev/null
# An RSA server certificate, with which TLS 1.2 could use RSA key exchange.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout server-rsa.key -out server-rsa.crt -subj /CN=127.0.0.1 \
  -addext subjectAltName=IP:127.0.0.1 2>/dev/null
python3 -W ignore -c 'import crypt, sys; print(crypt.crypt("s3cret", crypt.mksalt(crypt.METHOD_BLOWFISH, rounds=2 ** int(sys.argv[1]))))' \
  "$cost" >hash

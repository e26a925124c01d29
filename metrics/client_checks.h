#pragma once
// What the endpoint checks of a client before a page: its TLS certificate and its basic
// authentication header, each read with GnuTLS. Part of the server's module only.

#include <gnutls/gnutls.h>

#include <string>

// Null when the client's certificate is chained to the session's trusted CA, within its
// validity, and, when it names its purposes, one for clients (a server's certificate from the
// same CA is no scraper's); else which check it failed, as a reason for the log.
const char* ClientCertificateRefusal(gnutls_session_t session);

// The name and password of a Basic Authorization header (null: none), whose scheme's name HTTP
// takes in any case; false without them, or with a NUL in them (which C texts would cut short).
bool BasicCredentials(const char* header, std::string& user, std::string& password);

#!/usr/bin/env bash
# Authenticode-signs Windows binaries in place with SHA-256:
#   SIGN_PFX=cert.pfx SIGN_PASS_FILE=pass.txt [SIGN_TIMESTAMP_URL=url] tools/sign.sh FILE...
# The password is read from a file, never from the command line; with a
# timestamp server the signature outlives the certificate.
set -euo pipefail
: "${SIGN_PFX:?a PKCS#12 file with the certificate and key}" "${SIGN_PASS_FILE:?the file holding its password}"
for file in "$@"; do
  args=(sign -pkcs12 "$SIGN_PFX" -readpass "$SIGN_PASS_FILE" -h sha256 -n "qelv_dorevivi"
        -in "$file" -out "$file.signed")
  [ -n "${SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$SIGN_TIMESTAMP_URL")
  osslsigncode "${args[@]}" >/dev/null
  mv "$file.signed" "$file"
done

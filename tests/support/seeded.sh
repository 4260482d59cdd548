# Reproducible random bytes for the shell tests. Source this file.
#   seeded_bytes SEED COUNT   COUNT bytes on stdout, the same for the same
#                             SEED on every machine (AES-CTR keystream).
# Callers print the seed with what they made, so that a run can be repeated.
seeded_bytes() {
    openssl enc -aes-128-ctr -nosalt -pbkdf2 -pass "pass:$1" -in /dev/zero 2>/dev/null |
        head -c "$2"
}

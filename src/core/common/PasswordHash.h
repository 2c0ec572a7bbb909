#pragma once

#include <QString>

// Operator passwords are stored as salted libsodium hashes (argon2id,
// "$argon2id$..." strings), never as the typed text.
namespace PasswordHash {

QString hash(const QString &plain);
// True when `plain` is the password behind `stored`. An empty or malformed
// stored value never matches.
bool verify(const QString &stored, const QString &plain);
// True when `stored` is a hash made by hash() (and not plain text).
bool isHash(const QString &stored);

// Tests may lower the work factor so that hundreds of logins stay quick.
void setFastMode(bool fast);

} // namespace PasswordHash

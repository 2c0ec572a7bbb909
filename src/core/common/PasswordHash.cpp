#include "common/PasswordHash.h"

#include <sodium.h>

#include <QByteArray>

namespace {
bool g_fast = false;

void ensureInit()
{
    static const bool ok = sodium_init() >= 0;
    Q_UNUSED(ok);
}
} // namespace

namespace PasswordHash {

void setFastMode(bool fast) { g_fast = fast; }

QString hash(const QString &plain)
{
    ensureInit();
    const QByteArray utf8 = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const unsigned long long ops = g_fast ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const size_t mem = g_fast ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()), ops, mem) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool verify(const QString &stored, const QString &plain)
{
    ensureInit();
    if (!isHash(stored))
        return false;
    const QByteArray s = stored.toLatin1();
    const QByteArray p = plain.toUtf8();
    return crypto_pwhash_str_verify(s.constData(), p.constData(), static_cast<unsigned long long>(p.size())) == 0;
}

bool isHash(const QString &stored) { return stored.startsWith(QLatin1String("$argon2")); }

} // namespace PasswordHash

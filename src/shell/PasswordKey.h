#pragma once

#include <QByteArray>
#include <QString>

namespace korvex::shell {

// The key a password is checked by. The client derives it with
// PBKDF2-HMAC-SHA-256 from the salt and iteration count the server hands
// out; the server stores and compares only SHA-256 of the key. The slow work
// is done once per login by the client, and a stolen table still needs the
// full derivation for every guess.
class TPasswordKey
{
public:
    // Counts below the minimum are refused by the server too.
    static constexpr int DefaultIterations = 100000;
    static constexpr int MinIterations = 100000;
    static constexpr int MaxIterations = 10000000;
    static constexpr int SaltSize = 16;

    // PBKDF2-HMAC-SHA-256 of the password's UTF-8 bytes, one 32-byte block.
    static QByteArray derive(const QString &password, const QByteArray &salt, int iterations);
    static QByteArray derive(const QByteArray &password, const QByteArray &salt, int iterations);
    // A fresh random salt from the system's generator.
    static QByteArray newSalt();
};

} // namespace korvex::shell

#include "PasswordKey.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <array>
#include <cstdint>
#include <cstring>

namespace korvex::shell {

namespace {

// SHA-256 written out so that the states after the fixed inner and outer key
// blocks of HMAC are computed once: each PBKDF2 iteration then costs two
// compressions instead of four.
using State = std::array<uint32_t, 8>;

constexpr uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};
constexpr State Initial = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

inline uint32_t rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

void compress(State &h, const uint8_t *block)
{
    uint32_t w[64];
    for (int t = 0; t < 16; ++t)
        w[t] = uint32_t(block[4 * t]) << 24 | uint32_t(block[4 * t + 1]) << 16 | uint32_t(block[4 * t + 2]) << 8
               | uint32_t(block[4 * t + 3]);
    for (int t = 16; t < 64; ++t) {
        const uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
    for (int t = 0; t < 64; ++t) {
        const uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[t] + w[t];
        const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        hh = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d;
    h[4] += e; h[5] += f; h[6] += g; h[7] += hh;
}

void store(const State &h, uint8_t *out)
{
    for (int i = 0; i < 8; ++i) {
        out[4 * i] = uint8_t(h[i] >> 24);
        out[4 * i + 1] = uint8_t(h[i] >> 16);
        out[4 * i + 2] = uint8_t(h[i] >> 8);
        out[4 * i + 3] = uint8_t(h[i]);
    }
}

// The hash of a 32-byte message that follows one 64-byte block already in
// the state: a single padded block.
void finish32(State &h, const uint8_t *digest)
{
    uint8_t block[64] = {};
    std::memcpy(block, digest, 32);
    block[32] = 0x80;
    const uint64_t bits = (64 + 32) * 8;
    block[62] = uint8_t(bits >> 8);
    block[63] = uint8_t(bits);
    compress(h, block);
}

} // namespace

QByteArray TPasswordKey::derive(const QString &password, const QByteArray &salt, int iterations)
{
    return derive(password.toUtf8(), salt, iterations);
}

QByteArray TPasswordKey::derive(const QByteArray &password, const QByteArray &salt, int iterations)
{
    QByteArray key = password;
    if (key.size() > 64)
        key = QCryptographicHash::hash(key, QCryptographicHash::Sha256);
    uint8_t ipad[64], opad[64];
    for (int i = 0; i < 64; ++i) {
        const uint8_t k = i < key.size() ? uint8_t(key[i]) : 0;
        ipad[i] = k ^ 0x36;
        opad[i] = k ^ 0x5c;
    }
    State inner = Initial, outer = Initial;
    compress(inner, ipad);
    compress(outer, opad);

    // U1 = HMAC(P, S || INT(1)), the salt of any length through the library hash.
    QCryptographicHash first(QCryptographicHash::Sha256);
    first.addData(QByteArrayView(reinterpret_cast<const char *>(ipad), 64));
    first.addData(salt);
    first.addData(QByteArrayView("\0\0\0\1", 4));
    const QByteArray innerDigest = first.result();
    QCryptographicHash second(QCryptographicHash::Sha256);
    second.addData(QByteArrayView(reinterpret_cast<const char *>(opad), 64));
    second.addData(innerDigest);
    const QByteArray u1 = second.result();

    uint8_t u[32], acc[32];
    std::memcpy(u, u1.constData(), 32);
    std::memcpy(acc, u, 32);
    for (int n = 1; n < iterations; ++n) {
        State h = inner;
        finish32(h, u);
        store(h, u);
        h = outer;
        finish32(h, u);
        store(h, u);
        for (int i = 0; i < 32; ++i)
            acc[i] ^= u[i];
    }
    return QByteArray(reinterpret_cast<const char *>(acc), 32);
}

QByteArray TPasswordKey::newSalt()
{
    QByteArray salt(SaltSize, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), SaltSize / 4);
    return salt;
}

} // namespace korvex::shell

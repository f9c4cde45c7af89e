#include "update/SignatureVerifier.h"

#include "update/MinisignSignature.h"

#include <QRegularExpression>

#include <sodium.h>

namespace tavlo {

namespace {

const unsigned char *bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

bool ed25519Holds(QByteArrayView signature, QByteArrayView message, QByteArrayView key)
{
    return crypto_sign_verify_detached(bytes(signature), bytes(message),
                                       static_cast<unsigned long long>(message.size()), bytes(key))
           == 0;
}

} // namespace

SignatureVerifier SignatureVerifier::fromText(QByteArrayView publicKey)
{
    const auto key = MinisignPublicKey::fromText(publicKey);
    return key ? SignatureVerifier(*key) : SignatureVerifier();
}

QString SignatureVerifier::verify(QByteArrayView data, QByteArrayView signatureFile, const QString &fileName,
                                  const QString &version) const
{
    if (!m_key)
        return QStringLiteral("no public key");
    if (sodium_init() < 0)
        return QStringLiteral("the signature library could not start");
    const auto signature = MinisignSignature::parse(signatureFile);
    if (!signature)
        return QStringLiteral("not a minisign signature");
    if (signature->keyId != m_key->keyId)
        return QStringLiteral("signed with another key");

    bool holds = false;
    if (signature->algorithm == MinisignSignature::Algorithm::Ed25519) {
        holds = ed25519Holds(signature->signature, data, m_key->key);
    } else {
        unsigned char hash[crypto_generichash_BYTES_MAX];
        static_assert(sizeof hash == 64);
        crypto_generichash(hash, sizeof hash, bytes(data), static_cast<unsigned long long>(data.size()), nullptr, 0);
        holds = ed25519Holds(signature->signature,
                             QByteArrayView(reinterpret_cast<const char *>(hash), sizeof hash), m_key->key);
    }
    if (!holds)
        return QStringLiteral("the signature does not match the file");
    // The trusted comment is only trusted once the global signature covers it.
    if (!ed25519Holds(signature->globalSignature, signature->signature + signature->trustedComment, m_key->key))
        return QStringLiteral("the trusted comment is not signed");
    if (!commentNames(signature->trustedComment, fileName, version))
        return QStringLiteral("signed for another file or version: %1")
                .arg(QString::fromUtf8(signature->trustedComment));
    return {};
}

bool SignatureVerifier::commentNames(QByteArrayView trustedComment, const QString &fileName, const QString &version)
{
    if (fileName.isEmpty() || version.isEmpty())
        return false;
    int files = 0;
    int versions = 0;
    bool match = true;
    const QString comment = QString::fromUtf8(trustedComment);
    for (const QString &token : comment.split(QRegularExpression(QStringLiteral("[ \t]+")), Qt::SkipEmptyParts)) {
        if (token.startsWith(QLatin1String("file:"))) {
            ++files;
            match = match && QStringView(token).mid(5) == fileName;
        } else if (token.startsWith(QLatin1String("version:"))) {
            ++versions;
            match = match && QStringView(token).mid(8) == version;
        }
    }
    return match && files == 1 && versions == 1;
}

} // namespace tavlo

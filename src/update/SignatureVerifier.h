#pragma once

#include "update/MinisignPublicKey.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tavlo {

// Checks that a downloaded file was signed with the update key for exactly this file and
// this version: the signature over the bytes, the global signature over the trusted comment,
// and the comment's "file:" and "version:" tokens. A signed older file, or the other signed
// file, does not pass for the one offered.
class SignatureVerifier {
public:
    SignatureVerifier() = default;
    explicit SignatureVerifier(const MinisignPublicKey &key) : m_key(key) {}

    // From the base64 line as minisign prints it; an unreadable text leaves no key.
    static SignatureVerifier fromText(QByteArrayView publicKey);

    bool hasKey() const { return m_key.has_value(); }

    // Empty when the signature holds, else why it does not.
    QString verify(QByteArrayView data, QByteArrayView signatureFile, const QString &fileName,
                   const QString &version) const;

    // Whether the trusted comment names this file and version: one "file:" and one "version:"
    // token among blank- or tab-separated tokens.
    static bool commentNames(QByteArrayView trustedComment, const QString &fileName, const QString &version);

private:
    std::optional<MinisignPublicKey> m_key;
};

} // namespace tavlo

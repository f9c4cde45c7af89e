#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace tavlo {

// A minisign public key: the Ed25519 key and the id that its signatures name.
struct MinisignPublicKey {
    static constexpr qsizetype keyIdSize = 8;
    static constexpr qsizetype keySize = 32;

    QByteArray keyId;
    QByteArray key;

    // Reads the base64 line of a .pub file as minisign prints it ("RW..."). Nothing when the
    // text is not such a key.
    static std::optional<MinisignPublicKey> fromText(QByteArrayView text);
};

} // namespace tavlo

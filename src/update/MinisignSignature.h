#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace tavlo {

// A detached signature in minisign's format, as read from a .minisig file:
//   untrusted comment: <text>
//   base64(<algorithm "Ed" or "ED"> <key id, 8 bytes> <signature, 64 bytes>)
//   trusted comment: <text>
//   base64(<global signature of signature + trusted comment, 64 bytes>)
struct MinisignSignature {
    static constexpr qsizetype keyIdSize = 8;
    static constexpr qsizetype signatureSize = 64;

    enum class Algorithm {
        Ed25519,          // "Ed": the file itself is signed
        HashedEd25519,    // "ED": its BLAKE2b-512 hash is signed
    };

    Algorithm algorithm = Algorithm::HashedEd25519;
    QByteArray keyId;
    QByteArray signature;
    QByteArray trustedComment; // without its prefix and line end
    QByteArray globalSignature;

    // Nothing when the text is not a signature in that form.
    static std::optional<MinisignSignature> parse(QByteArrayView text);
};

} // namespace tavlo

#include "update/MinisignPublicKey.h"

namespace tavlo {

std::optional<MinisignPublicKey> MinisignPublicKey::fromText(QByteArrayView text)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.toByteArray().trimmed(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    // "Ed", the key id, the key.
    if (!decoded || decoded.decoded.size() != 2 + keyIdSize + keySize || !decoded.decoded.startsWith("Ed"))
        return std::nullopt;
    return MinisignPublicKey{decoded.decoded.mid(2, keyIdSize), decoded.decoded.mid(2 + keyIdSize)};
}

} // namespace tavlo

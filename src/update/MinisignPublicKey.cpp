#include "update/MinisignPublicKey.h"

#include <QList>

namespace tavlo {

std::optional<MinisignPublicKey> MinisignPublicKey::fromText(QByteArrayView text)
{
    QByteArray line;
    for (const QByteArray &each : text.toByteArray().split('\n')) {
        const QByteArray trimmed = each.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith("untrusted comment:"))
            continue;
        if (!line.isEmpty())
            return std::nullopt; // one key per text
        line = trimmed;
    }
    const auto decoded = QByteArray::fromBase64Encoding(line, QByteArray::AbortOnBase64DecodingErrors);
    // "Ed", the key id, the key.
    if (!decoded || decoded.decoded.size() != 2 + keyIdSize + keySize || !decoded.decoded.startsWith("Ed"))
        return std::nullopt;
    return MinisignPublicKey{decoded.decoded.mid(2, keyIdSize), decoded.decoded.mid(2 + keyIdSize)};
}

} // namespace tavlo

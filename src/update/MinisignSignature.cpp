#include "update/MinisignSignature.h"

#include <QList>

namespace tavlo {

namespace {

std::optional<QByteArray> strictBase64(const QByteArray &line, qsizetype size)
{
    auto decoded = QByteArray::fromBase64Encoding(line, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size)
        return std::nullopt;
    return std::move(decoded.decoded);
}

} // namespace

std::optional<MinisignSignature> MinisignSignature::parse(QByteArrayView text)
{
    QList<QByteArray> lines = text.toByteArray().split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != 4 || !lines[0].startsWith("untrusted comment: "))
        return std::nullopt;
    const QByteArray trustedPrefix = "trusted comment: ";
    if (!lines[2].startsWith(trustedPrefix))
        return std::nullopt;

    const auto signedPart = strictBase64(lines[1], 2 + keyIdSize + signatureSize);
    const auto global = strictBase64(lines[3], signatureSize);
    if (!signedPart || !global)
        return std::nullopt;
    MinisignSignature result;
    if (signedPart->startsWith("Ed"))
        result.algorithm = Algorithm::Ed25519;
    else if (signedPart->startsWith("ED"))
        result.algorithm = Algorithm::HashedEd25519;
    else
        return std::nullopt;
    result.keyId = signedPart->mid(2, keyIdSize);
    result.signature = signedPart->mid(2 + keyIdSize);
    result.trustedComment = lines[2].mid(trustedPrefix.size());
    result.globalSignature = *global;
    return result;
}

} // namespace tavlo

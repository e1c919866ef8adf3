// Named parameters: every ":NAME" outside literals, quoted names and comments becomes exactly
// one "?", and nothing else of the text changes.
#include "data/firebird.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    QStringList nomes;
    const QString out = fb::translateNamedParameters(sql, nomes);
    if (out.count(u'?') != sql.count(u'?') + nomes.size()) abort();
    if (out.size() > sql.size()) abort();
    return 0;
}

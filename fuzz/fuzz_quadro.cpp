// Scale frames: whatever the scale sends, decoding never crashes and a full frame always gives
// "NN.NNN"-shaped text; converting it either gives a weight in range or a clear error.
#include "weighing/balanca.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray frame(reinterpret_cast<const char*>(data), int(size));
    for (int lidos : {int(size), 7}) {
        const QString s = Balanca::ExtrairPesoPrt5(frame.leftJustified(7, '\0', true), lidos);
        if (lidos != 7) {
            if (!s.isEmpty()) abort();
            continue;
        }
        if (s.size() != 6 || s[2] != u'.') abort();
    }
    return 0;
}
